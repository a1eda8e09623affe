#include "editor/view/quietscrollbar.h"

#include <QStyle>
#include <QStyleOptionSlider>

QuietScrollBar::QuietScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
}

QuietScrollBar::Shown QuietScrollBar::shown() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    Shown result;
    result.slider =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    // The arrows may be drawn disabled at either end.
    result.atMinimum = option.sliderValue <= option.minimum;
    result.atMaximum = option.sliderValue >= option.maximum;
    return result;
}

void QuietScrollBar::sliderChange(SliderChange change)
{
    const Shown now = shown();
    if (change != SliderOrientationChange && now == m_shown)
        return;
    m_shown = now;
    QScrollBar::sliderChange(change);
}

void QuietScrollBar::paintEvent(QPaintEvent *event)
{
    m_shown = shown();
    QScrollBar::paintEvent(event);
}
