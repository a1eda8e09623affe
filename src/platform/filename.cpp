#include "platform/filename.h"

#include "platform/escapedutf8.h"

namespace {

// A lone surrogate that stands for no byte: what Qt writes for it.
QByteArray replacementCharacter(char32_t)
{
    return QByteArrayLiteral("\xEF\xBF\xBD");
}

} // namespace

QByteArray FileName::encode(const QString &path)
{
    return EscapedUtf8::encode(path, replacementCharacter);
}

QString FileName::decode(const QByteArray &name)
{
    return EscapedUtf8::decode(name);
}

QString FileName::fromLocalFile(const QUrl &url)
{
    const QString host = url.host();
    if (!host.isEmpty() && host != QLatin1String("localhost"))
        return url.toLocalFile(); // a share, as //host/path
    return decode(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}
