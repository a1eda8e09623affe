#include "platform/filename.h"

#include "platform/escapedutf8.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

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

QString FileName::absolute(const QString &path)
{
    if (path.startsWith(u'/'))
        return path;
    std::vector<char> folder(4096);
    while (!::getcwd(folder.data(), folder.size())) {
        if (errno != ERANGE || folder.size() > (std::size_t(1) << 20))
            return path;
        folder.resize(folder.size() * 2);
    }
    return decode(QByteArray(folder.data())) + u'/' + path;
}
