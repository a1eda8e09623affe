#pragma once

#include "ui/window.h"

class QLabel;
class QScrollBar;

// `txtsize`: a tiny window below `textsizebutton` that picks a text size from
// 1 to 99 with a scroll bar and writes a font-size tag on " Ok". It closes,
// writing nothing, as soon as the scroll bar loses the focus.
class TxtSize : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::TxtSize;

    explicit TxtSize(WindowRegistry &registry);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void ok();

    QLabel *m_value;
    QScrollBar *m_size;
};
