#include "ui/clicklabel.h"

#include <QMouseEvent>

#include "ui/accessibility.h"

ClickLabel::ClickLabel(QWidget *parent) : ClickLabel(QString(), parent) {}

ClickLabel::ClickLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    Accessibility::install();
    setFocusPolicy(Qt::NoFocus);
    setTextFormat(Qt::PlainText);
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // Releasing outside the label takes the click back, as on a button.
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        emit clicked();
}
