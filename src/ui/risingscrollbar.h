#pragma once

#include <QScrollBar>

// A vertical scroll bar with its maximum at the top: the upper arrow, a click
// above the slider, the Up and Page Up keys, the wheel turned up and its
// context menu's "Top" all raise the value.
class RisingScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit RisingScrollBar(QWidget *parent = nullptr);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void turnAround(int action);

    bool m_inMenu = false;
};
