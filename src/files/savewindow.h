#pragma once

#include "ui/window.h"

class QGroupBox;
class PathBox;
class QPushButton;

// The look and the save command shared by `saveform` and `saveform2`: writes
// the page to the typed name + ".html", reports the result and closes.
class SaveWindow : public Window
{
    Q_OBJECT

protected:
    SaveWindow(WindowRegistry &registry, WindowId id);

    // What follows a successful save, after its message.
    virtual void saved() {}

private:
    void save();

    QGroupBox *m_frame;
    PathBox *m_title;
    QPushButton *m_save;
};
