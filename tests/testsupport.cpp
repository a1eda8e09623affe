#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include "app/mainwindow.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "platform/fileopendialog.h"

namespace {

// The offscreen platform warns that it cannot raise windows or pass size
// hints; that says nothing about the program.
void quietPlatformWarnings()
{
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.startsWith(QLatin1String("This plugin does not support")))
                previous(type, context, message);
        });
}

} // namespace

namespace TestSupport {

Program::Program() : m_windows(std::make_unique<WindowRegistry>())
{
    quietPlatformWarnings();
    Main *window = m_windows->show<Main>();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("main window did not become active");
}

Program::~Program() = default;

Main *Program::main() const
{
    return m_windows->find<Main>();
}

Document &Program::document()
{
    return m_windows->document();
}

QWidget *Program::source() const
{
    return main()->findChild<QWidget *>("htmlsource");
}

QAction *Program::entry(const QString &name) const
{
    for (QAction *action : entries()) {
        if (action->objectName() == name)
            return action;
    }
    return nullptr;
}

QToolButton *Program::button(const QString &name) const
{
    for (QToolButton *button : buttons()) {
        if (button->objectName() == name)
            return button;
    }
    return nullptr;
}

QList<QAction *> Program::entries() const
{
    QList<QAction *> entries;
    for (QAction *menu : main()->menuBar()->actions()) {
        for (QAction *action : menu->menu()->actions()) {
            if (!action->isSeparator())
                entries.append(action);
        }
    }
    return entries;
}

QList<QToolButton *> Program::buttons() const
{
    // The toolbar buttons stand directly on the client area.
    return main()->findChild<QWidget *>("client")->findChildren<QToolButton *>(
        QString(), Qt::FindDirectChildrenOnly);
}

MessageBoxes::MessageBoxes(QMessageBox::StandardButton answer)
    : m_answer(answer), m_shown(std::make_shared<QList<MessageBox::Message>>())
{
    MessageBox::setAnswerer([this, shown = m_shown](const MessageBox::Message &message) {
        shown->append(message);
        return m_answer;
    });
}

MessageBoxes::~MessageBoxes()
{
    MessageBox::setAnswerer({});
}

FileDialogs::FileDialogs()
    : m_answers(std::make_shared<QList<std::optional<QString>>>()), m_runs(std::make_shared<int>(0))
{
    FileOpenDialog::setRunner(
        [answers = m_answers, runs = m_runs](const FileOpenDialog &, QWidget *) {
            ++*runs;
            return answers->isEmpty() ? std::nullopt : answers->takeFirst();
        });
}

FileDialogs::~FileDialogs()
{
    FileOpenDialog::setRunner({});
}

void type(QWidget *widget, const QString &text)
{
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n'))
            QTest::keyClick(widget, Qt::Key_Return);
        else
            QTest::keyClicks(widget, QString(ch));
    }
}

void onNextPopup(std::function<void(QMenu *)> handle)
{
    QTimer::singleShot(0, qApp, [handle = std::move(handle)] {
        handle(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    });
}

void clickInto(QWidget *widget)
{
    QWidget *window = widget->window();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        qWarning("window did not become active");
    // Through the window, so that the click reaches whatever lies under the
    // point and gives the focus as a real one does.
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(window, widget->rect().center()));
}

} // namespace TestSupport
