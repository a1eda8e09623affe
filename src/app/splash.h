#pragma once

#include "ui/window.h"

class QTimer;

// The start-up window: shows the artwork until its timer fires once, then
// gives way to the main window.
class Splash : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::Splash;

    explicit Splash(WindowRegistry &registry);

private:
    void timerFired();

    QTimer *m_timer;
};
