#pragma once

#include "ui/window.h"

class QPushButton;

// A window that collects a few typed values for one fragment: "Done" writes the
// fragment into the page and closes the window, "Cancel" closes it unchanged.
class EntryWindow : public Window
{
    Q_OBJECT

protected:
    using Window::Window;

    // "Done" (`Command1`) and "Cancel" (`Command2`), 255 twips high, at the given twips.
    QPushButton *addDoneButton(int left, int top, int width);
    QPushButton *addCancelButton(int left, int top, int width);

    // Writes the window's fragment into the page.
    virtual void insert() = 0;
};
