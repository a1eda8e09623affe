#include "ui/risingscrollbar.h"

RisingScrollBar::RisingScrollBar(QWidget *parent) : QScrollBar(Qt::Vertical, parent)
{
    // Drawn upside down, the bar keeps its keys and wheel pointing the way
    // they look; its arrows, trough and menu steps are turned round below.
    setInvertedAppearance(true);
    setInvertedControls(false);
    connect(this, &QAbstractSlider::actionTriggered, this, &RisingScrollBar::turnAround);
}

void RisingScrollBar::contextMenuEvent(QContextMenuEvent *event)
{
    m_inMenu = true;
    QScrollBar::contextMenuEvent(event);
    m_inMenu = false;
}

void RisingScrollBar::turnAround(int action)
{
    // An arrow or the trough held down repeats its action; the keys never do.
    const bool byPointer = repeatAction() != SliderNoAction || m_inMenu;
    if (!byPointer)
        return;
    // The slider has already moved one way; the value has not followed yet.
    switch (action) {
    case SliderSingleStepAdd:
    case SliderSingleStepSub:
    case SliderPageStepAdd:
    case SliderPageStepSub:
        setSliderPosition(2 * value() - sliderPosition());
        break;
    case SliderToMinimum:
        setSliderPosition(maximum());
        break;
    case SliderToMaximum:
        setSliderPosition(minimum());
        break;
    default:
        break;
    }
}
