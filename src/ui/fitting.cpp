#include "ui/fitting.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <algorithm>

namespace Fitting {

namespace {

// Below this a text is no longer comfortably readable; it is left to clip.
constexpr qreal SmallestPointSize = 6.0;
constexpr qreal Step = 0.5;

QFont scaled(QFont font, qreal factor)
{
    font.setPointSizeF(font.pointSizeF() * factor);
    return font;
}

bool allFit(const QList<Caption> &captions, const QList<QFont> &fonts, qreal factor)
{
    for (qsizetype i = 0; i < captions.size(); ++i) {
        const Caption &caption = captions.at(i);
        if (!fits(scaled(fonts.at(i), factor), caption.text, caption.area.size(), caption.flags))
            return false;
    }
    return true;
}

} // namespace

bool fits(const QFont &font, const QString &text, const QSize &area, int flags)
{
    const QRect needed = QFontMetrics(font).boundingRect(QRect(QPoint(), area), flags, text);
    const bool wraps = flags & Qt::TextWordWrap;
    return needed.width() <= area.width() && (!wraps || needed.height() <= area.height());
}

QFont shrunkToFit(QFont font, const QString &text, const QSize &area, int flags)
{
    while (!fits(font, text, area, flags) && font.pointSizeF() - Step >= SmallestPointSize)
        font.setPointSizeF(font.pointSizeF() - Step);
    return font;
}

void shrinkTogether(const QList<Caption> &captions)
{
    if (captions.isEmpty())
        return;
    QList<QFont> fonts;
    qreal smallest = 0;
    for (const Caption &caption : captions) {
        fonts.append(caption.control->font());
        const qreal size = fonts.last().pointSizeF();
        smallest = smallest > 0 ? std::min(smallest, size) : size;
    }
    // The smallest font steps down half a point at a time, the others alike.
    qreal factor = 1;
    while (!allFit(captions, fonts, factor) && smallest * factor - Step >= SmallestPointSize)
        factor = (smallest * factor - Step) / smallest;
    if (factor == 1)
        return;
    for (qsizetype i = 0; i < captions.size(); ++i)
        captions.at(i).control->setFont(scaled(fonts.at(i), factor));
}

Caption buttonCaption(QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    if (button->isDefault())
        option.features |= QStyleOptionButton::DefaultButton;
    if (button->autoDefault())
        option.features |= QStyleOptionButton::AutoDefaultButton;
    if (button->isFlat())
        option.features |= QStyleOptionButton::Flat;
    const QRect label =
        button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    return {button, button->text(), label, Qt::AlignCenter | Qt::TextShowMnemonic};
}

Caption editCaption(QComboBox *box)
{
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = true;
    option.frame = box->hasFrame();
    option.subControls = QStyle::SC_All;
    QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                               QStyle::SC_ComboBoxEditField, box);
    // An edit field keeps two pixels each side and one for the caret, and
    // room for glyphs that reach out of their cells.
    const QFontMetrics metrics(box->font());
    const int overhang =
        std::max(0, -metrics.minLeftBearing()) * 2 + std::max(0, -metrics.minRightBearing());
    field.adjust(2, 0, -(2 + 1 + overhang), 0);
    return {box, box->currentText(), field, Qt::AlignLeft | Qt::AlignVCenter};
}

} // namespace Fitting
