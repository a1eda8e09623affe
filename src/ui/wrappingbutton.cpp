#include "ui/wrappingbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include "ui/fitting.h"

namespace {

constexpr int CaptionFlags = Qt::AlignCenter | Qt::TextWordWrap;

} // namespace

WrappingButton::WrappingButton(const QString &text, QWidget *parent) : QPushButton(text, parent) {}

QFont WrappingButton::captionFont() const
{
    return Fitting::shrunkToFit(font(), text(), captionArea().size(), CaptionFlags);
}

QRect WrappingButton::captionArea() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
}

void WrappingButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style draws the bevel and focus frame; the caption is drawn wrapped.
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    painter.setFont(captionFont());
    painter.drawItemText(captionArea(), CaptionFlags, option.palette, isEnabled(), text(),
                         QPalette::ButtonText);
}
