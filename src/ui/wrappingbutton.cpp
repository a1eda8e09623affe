#include "ui/wrappingbutton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

WrappingButton::WrappingButton(const QString &text, QWidget *parent) : QPushButton(text, parent) {}

Fitting::Caption WrappingButton::caption() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    return {const_cast<WrappingButton *>(this), text(), area, Qt::AlignCenter | Qt::TextWordWrap};
}

QFont WrappingButton::captionFont() const
{
    const Fitting::Caption fitted = caption();
    return Fitting::shrunkToFit(font(), fitted.text, fitted.area.size(), fitted.flags);
}

void WrappingButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style draws the bevel and focus frame; the caption is drawn wrapped.
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);

    const Fitting::Caption fitted = caption();
    painter.setFont(captionFont());
    painter.drawItemText(fitted.area, fitted.flags, option.palette, isEnabled(), fitted.text,
                         QPalette::ButtonText);
}
