#include "ui/infolabel.h"

#include <QPainter>
#include <QStyle>

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

Fitting::Caption InfoLabel::caption() const
{
    // The stored layouts overlap: a box may run past the window's edge, and a
    // control stacked above cuts it off where it starts, to the right or below.
    QRect area = geometry() & parentWidget()->rect();
    const QObjectList &siblings = parentWidget()->children();
    for (qsizetype i = siblings.indexOf(const_cast<InfoLabel *>(this)) + 1; i < siblings.size();
         ++i) {
        const auto *above = qobject_cast<const QWidget *>(siblings.at(i));
        if (!above || !above->autoFillBackground() || !above->geometry().intersects(area))
            continue;
        if (above->x() > area.x())
            area.setRight(above->x() - 1);
        else if (above->y() > area.y())
            area.setBottom(above->y() - 1);
    }
    return {const_cast<InfoLabel *>(this), text(), area.translated(-pos()),
            int(alignment()) | Qt::TextWordWrap};
}

QFont InfoLabel::captionFont() const
{
    const Fitting::Caption fitted = caption();
    return Fitting::shrunkToFit(font(), fitted.text, fitted.area.size(), fitted.flags);
}

void InfoLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const Fitting::Caption fitted = caption();
    painter.setFont(captionFont());
    style()->drawItemText(&painter, fitted.area, fitted.flags, palette(), isEnabled(), fitted.text,
                          foregroundRole());
}
