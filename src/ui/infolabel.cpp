#include "ui/infolabel.h"

InfoLabel::InfoLabel(const QString &text, QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
    setAutoFillBackground(true);
    setText(text);
}

void InfoLabel::setTransparent()
{
    setAutoFillBackground(false);
}
