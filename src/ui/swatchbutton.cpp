#include "ui/swatchbutton.h"

#include <QPainter>
#include <qdrawutil.h>

SwatchButton::SwatchButton(const QColor &fill, QWidget *parent)
    : QAbstractButton(parent), m_fill(fill)
{
    setFocusPolicy(Qt::NoFocus);
}

void SwatchButton::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    // The same whether pressed or not: a swatch has no sunken look.
    QPainter painter(this);
    const QBrush fill(m_fill);
    qDrawPlainRect(&painter, rect(), palette().color(QPalette::WindowText), 1, &fill);
}
