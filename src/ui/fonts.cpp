#include "ui/fonts.h"

#include <QFontDatabase>
#include <QSet>

namespace {

// Stand-ins for the faces the layouts name, from fonts-dejavu-core, which
// `make` installs. Left to fontconfig, a missing face becomes whatever the
// machine offers first (Noto Sans Mono, Liberation Sans, Nimbus Mono PS),
// and the captions, fitted sizes and source rows change with it.
const QString ConsoleStandIn = QStringLiteral("DejaVu Sans Mono");
const QString SansStandIn = QStringLiteral("DejaVu Sans");

QFont named(const QString &family, const QString &standIn, QFont::StyleHint hint, qreal pointSize)
{
    QFont font;
    // Qt tries the listed families in turn before fontconfig's own choice,
    // and family() still reads the name the layout gives.
    font.setFamilies({family, standIn});
    font.setStyleHint(hint);
    font.setPointSizeF(pointSize);
    return font;
}

} // namespace

namespace Fonts {

QFont console(qreal pointSize)
{
    QFont font =
        named(QStringLiteral("Lucida Console"), ConsoleStandIn, QFont::TypeWriter, pointSize);
    font.setFixedPitch(true);
    return font;
}

QFont sans(const QString &family, qreal pointSize)
{
    return named(family, SansStandIn, QFont::SansSerif, pointSize);
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
