#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// A path as the system takes it. Qt's own conversion turns a name that is not
// UTF-8 into U+FFFD and loses its bytes; here a byte that is not UTF-8 stands
// as U+DC80 to U+DCFF in the text and goes back to the system as that byte.
class FileName
{
public:
    static QByteArray encode(const QString &path);
    static QString decode(const QByteArray &name);
    // `path` from the root, for a relative one the current folder before it;
    // `path` itself when the current folder cannot be told.
    static QString absolute(const QString &path);
    // The path of a file: address from its percent-encoded bytes, which Qt's
    // own toLocalFile() would read as UTF-8.
    static QString fromLocalFile(const QUrl &url);
};
