#include "ui/window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "ui/fitting.h"
#include "ui/windowregistry.h"

namespace {

Qt::WindowFlags flagsFor(Window::Border border)
{
    switch (border) {
    case Window::Border::ToolWindow:
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    case Window::Border::ToolWindowNoClose:
        return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    case Window::Border::Bare:
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
    : QWidget(nullptr, flagsFor(border)), m_registry(registry)
{
    setObjectName(WindowIds::name(id));
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose);
    if (border == Border::Sizable)
        resize(Twips::size(clientWidth, clientHeight));
    else
        setFixedSize(Twips::size(clientWidth, clientHeight));
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
    // Forget the window at once: it is only deleted later, and an opening in
    // between must start a fresh one.
    m_registry.release(this);
    QWidget::closeEvent(event);
}

void Window::showEvent(QShowEvent *event)
{
    if (!m_fitted) {
        m_fitted = true;
        fitCaptions();
    }
    QWidget::showEvent(event);
}

void Window::fitCaptions()
{
    // The buttons of a window keep one look; buttons that wrap fit themselves.
    QList<Fitting::Caption> buttons;
    for (QPushButton *button : findChildren<QPushButton *>()) {
        if (button->metaObject() == &QPushButton::staticMetaObject)
            buttons.append(Fitting::buttonCaption(button));
    }
    Fitting::shrinkTogether(buttons);
    for (QComboBox *box : findChildren<QComboBox *>()) {
        if (box->isEditable())
            Fitting::shrinkTogether({Fitting::editCaption(box)});
    }
}
