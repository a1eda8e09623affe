#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

#include "editor/pageformat.h"
#include "files/descriptor.h"

// The recovery journals, in the user's private state folder (StateFolder).
// Each running program keeps one journal there, named after its process and
// start, and holds a lock on it for as long as it runs.
class JournalFolder
{
public:
    // A journal whose program is no longer running, locked while it is held.
    struct Leftover
    {
        Descriptor file;
        QByteArray name;
        QDateTime written; // when it was last written
        QString pagePath;  // empty for a page begun in the editor
    };

    // What a leftover journal gives back.
    struct Recovered
    {
        QString text;
        PageFormat format;
        QString pagePath;
        bool damaged = false; // its last records could not be read
        QDateTime written;    // when its last complete record was written
        // Empty when the text was rebuilt; else why not, for the user.
        QString failure;
    };

    // The name of this program's journal: its process and start time.
    static QByteArray ownName();

    // Journals left by programs that no longer run, the latest first. Ones
    // that hold no page are removed on the way.
    static std::vector<Leftover> leftovers();
    static Recovered recover(const Leftover &leftover);
    // Removes a leftover journal for good.
    static void remove(Leftover &leftover);
};
