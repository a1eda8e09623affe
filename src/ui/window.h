#pragma once

#include <QWidget>

#include <initializer_list>
#include <utility>

#include "ui/twips.h"
#include "ui/windowid.h"

class Document;
class WindowRegistry;

// Base of every window but the main one: a fixed client size in twips, the
// window's listed name as objectName, and destruction on close so that the next
// opening starts from the stored layout.
class Window : public QWidget
{
    Q_OBJECT

public:
    enum class Border {
        ToolWindow,        // small title bar with a close box only, no taskbar button
        ToolWindowNoClose, // small title bar without any box, no taskbar button
        Untitled,          // no title bar, a fixed single border of its own, a taskbar button
        Splash,            // no title bar and no taskbar button
        Sizable,           // ordinary window; only the never-shown menu holders
    };

    Window(WindowRegistry &registry, WindowId id, const QString &title, Border border,
           int clientWidth, int clientHeight);

    // The width of the border that an untitled window draws around its client area.
    static constexpr int DrawnBorder = 2;

    // Chains the focus order of the given widgets, first to last.
    static void setTabChain(std::initializer_list<QWidget *> widgets);

protected:
    WindowRegistry &registry() const { return m_registry; }
    Document &document() const;

    // Creates a control named `name` inside `container` at a rectangle given in twips.
    template <class T, class... Args>
    static T *add(QWidget *container, const char *name, int left, int top, int width, int height,
                  Args &&...args)
    {
        auto *control = new T(std::forward<Args>(args)..., clientArea(container));
        control->setObjectName(QString::fromLatin1(name));
        control->setGeometry(Twips::rect(left, top, width, height));
        keep(control);
        return control;
    }

    // Where the controls of `container` go: an untitled window keeps them
    // inside the border it draws.
    static QWidget *clientArea(QWidget *container);

    // Closes the window once the event being delivered is done with it: closing
    // inside a focus or activation change would destroy the window while Qt is
    // still delivering to it.
    void closeSoon();

    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    // Records a control of the window, whose caption is fitted on first show.
    static void keep(QWidget *control);
    // Shrinks the push buttons' captions together and each edit field's text,
    // where they would not show whole in the font of the day.
    void fitCaptions();
    // Tells the window manager which title bar, buttons and taskbar button the border kind has.
    void askWindowManager();

    WindowRegistry &m_registry;
    const WindowId m_id;
    const Border m_border;
    QWidget *m_client = nullptr; // only in an untitled window
    QList<QWidget *> m_controls;
    bool m_shown = false;
};
