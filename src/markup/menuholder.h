#pragma once

#include <QAction>

#include "ui/window.h"

class QMenu;

// A window that is never shown and only owns a popup menu: the entries of its
// menu `f` ("file") pop up under a toolbar button of the main window.
class MenuHolder : public Window
{
    Q_OBJECT

public:
    // Pops the menu up at the button's lower left corner and returns when it
    // has closed, after the chosen entry (if any) has done its work.
    void popUp(QWidget *button);

    QMenu *menu() const { return m_menu; }

protected:
    MenuHolder(WindowRegistry &registry, WindowId id);

    // Appends an entry named `name`; choosing it runs `handler`.
    template <class Handler>
    void addEntry(const char *name, const QString &caption, Handler handler)
    {
        connect(newEntry(name, caption), &QAction::triggered, this, handler);
    }

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *newEntry(const char *name, const QString &caption);

    QMenu *m_menu;
};
