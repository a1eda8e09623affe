#include "ui/fonts.h"

#include <QFontDatabase>
#include <QSet>

namespace Fonts {

QFont console(qreal pointSize)
{
    QFont font(QStringLiteral("Lucida Console"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(pointSize);
    return font;
}

QFont sans(const QString &family, qreal pointSize)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    return font;
}

QStringList screenFamilies()
{
    return plainFamilies(QFontDatabase::families());
}

QStringList plainFamilies(const QStringList &listed)
{
    QStringList plain;
    QSet<QString> seen;
    for (QString family : listed) {
        // A face name with the tag would be one that no browser knows.
        const qsizetype tag = family.lastIndexOf(QLatin1String(" ["));
        if (tag > 0 && family.endsWith(QLatin1Char(']')))
            family.truncate(tag);
        if (!seen.contains(family)) {
            seen.insert(family);
            plain.append(family);
        }
    }
    return plain;
}

} // namespace Fonts
