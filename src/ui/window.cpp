#include "ui/window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <qdrawutil.h>

#include "ui/accessibility.h"
#include "ui/fitting.h"
#include "ui/windowmanagerhints.h"
#include "ui/windowregistry.h"

namespace {

Qt::WindowFlags flagsFor(Window::Border border)
{
    switch (border) {
    case Window::Border::ToolWindow:
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    case Window::Border::ToolWindowNoClose:
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    case Window::Border::Untitled:
        // The window manager draws no border without a title bar; the window draws its own.
        return Qt::Window | Qt::FramelessWindowHint;
    case Window::Border::Splash:
        return Qt::SplashScreen | Qt::FramelessWindowHint;
    case Window::Border::Sizable:
        break;
    }
    return Qt::Window;
}

} // namespace

Window::Window(WindowRegistry &registry, WindowId id, const QString &title, Border border,
               int clientWidth, int clientHeight)
    : QWidget(nullptr, flagsFor(border)), m_registry(registry), m_id(id), m_border(border)
{
    Accessibility::install();
    setObjectName(WindowIds::name(id));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    const QSize client = Twips::size(clientWidth, clientHeight);
    if (border == Border::Sizable) {
        resize(client);
    } else if (border == Border::Untitled) {
        setFixedSize(client + QSize(2 * DrawnBorder, 2 * DrawnBorder));
        m_client = new QWidget(this);
        m_client->setGeometry(QRect(QPoint(DrawnBorder, DrawnBorder), client));
    } else {
        setFixedSize(client);
    }
}

void Window::setTabChain(std::initializer_list<QWidget *> widgets)
{
    QWidget *previous = nullptr;
    for (QWidget *widget : widgets) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

QWidget *Window::clientArea(QWidget *container)
{
    auto *window = qobject_cast<Window *>(container);
    return window && window->m_client ? window->m_client : container;
}

Document &Window::document() const
{
    return m_registry.document();
}

void Window::closeSoon()
{
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            close();
    });
}

void Window::closeEvent(QCloseEvent *event)
{
    // A window manager may give a close box to a window that has none; there
    // it does nothing. The window's own buttons and the program's end still close it.
    if (m_border == Border::ToolWindowNoClose && event->spontaneous()) {
        event->ignore();
        return;
    }
    // Forget the window at once: it is only deleted later, and an opening in
    // between must start a fresh one.
    m_registry.release(m_id, this);
    QWidget::closeEvent(event);
}

void Window::showEvent(QShowEvent *event)
{
    if (!m_shown) {
        m_shown = true;
        fitCaptions();
        askWindowManager();
    }
    QWidget::showEvent(event);
}

void Window::paintEvent(QPaintEvent *event)
{
    if (!m_client) {
        QWidget::paintEvent(event);
        return;
    }
    // A raised edge sets the window off from a grey window below it.
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void Window::keep(QWidget *control)
{
    if (auto *window = qobject_cast<Window *>(control->window()))
        window->m_controls.append(control);
}

void Window::fitCaptions()
{
    // The buttons of a window keep one look; buttons that wrap fit themselves.
    QList<Fitting::Caption> buttons;
    for (QWidget *control : std::as_const(m_controls)) {
        auto *button = qobject_cast<QPushButton *>(control);
        if (button && button->metaObject() == &QPushButton::staticMetaObject)
            buttons.append(Fitting::buttonCaption(button));
    }
    Fitting::shrinkTogether(buttons);
    for (QWidget *control : std::as_const(m_controls)) {
        auto *box = qobject_cast<QComboBox *>(control);
        if (box && box->isEditable())
            Fitting::shrinkTogether({Fitting::editCaption(box)});
    }
}

void Window::askWindowManager()
{
    using WindowManagerHints::Kind;
    // Kind, title bar, system menu, minimize button, close box, taskbar button.
    switch (m_border) {
    case Border::ToolWindow:
        WindowManagerHints::apply(*this, {Kind::Utility, true, false, false, true, false});
        break;
    case Border::ToolWindowNoClose:
        WindowManagerHints::apply(*this, {Kind::Utility, true, false, false, false, false});
        break;
    case Border::Untitled:
        WindowManagerHints::apply(*this, {Kind::Normal, false, false, false, false, true});
        break;
    case Border::Splash:
        WindowManagerHints::apply(*this, {Kind::Splash, false, false, false, false, false});
        break;
    case Border::Sizable:
        break;
    }
}
