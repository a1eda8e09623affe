#pragma once

#include "app/window.h"

class QTimer;

// The start-up window: shows the artwork until its timer fires once, then
// gives way to the main window.
class Splash : public Window
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("splash"); }

    explicit Splash(WindowRegistry &registry);

private:
    void timerFired();

    QTimer *m_timer;
};
