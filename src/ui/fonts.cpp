#include "ui/fonts.h"

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

} // namespace Fonts
