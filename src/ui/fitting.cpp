#include "ui/fitting.h"

#include <QFontMetrics>
#include <QRect>

namespace Fitting {

QFont shrunkToFit(QFont font, const QString &text, const QSize &box, int flags)
{
    // Below this a text is no longer comfortably readable; it is left to clip.
    constexpr qreal SmallestPointSize = 6.0;
    constexpr qreal Step = 0.5;
    while (font.pointSizeF() - Step >= SmallestPointSize) {
        const QRect needed = QFontMetrics(font).boundingRect(QRect(QPoint(), box), flags, text);
        if (needed.width() <= box.width() && needed.height() <= box.height())
            break;
        font.setPointSizeF(font.pointSizeF() - Step);
    }
    return font;
}

} // namespace Fitting
