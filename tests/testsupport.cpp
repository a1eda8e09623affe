#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "platform/fileopendialog.h"
#include "ui/windowregistry.h"

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
        QTest::qFail("main window did not become active", __FILE__, __LINE__);
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
    : m_answers(std::make_shared<QList<std::optional<QString>>>()),
      m_runs(std::make_shared<int>(0)), m_startFolders(std::make_shared<QStringList>())
{
    FileOpenDialog::forgetLastPick();
    FileOpenDialog::setRunner([answers = m_answers, runs = m_runs,
                               folders = m_startFolders](const FileOpenDialog &dialog, QWidget *) {
        ++*runs;
        folders->append(dialog.startFolder());
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

void flushEvents()
{
    // Twice: a deferred close may post a deletion of its own.
    for (int round = 0; round < 2; ++round) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

void clickInto(QWidget *widget)
{
    QWidget *window = widget->window();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        QTest::qFail("window did not become active", __FILE__, __LINE__);
    // Through the window, so that the click reaches whatever lies under the
    // point and gives the focus as a real one does.
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      widget->mapTo(window, widget->rect().center()));
}

void addRoundTripRows()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");
    // Saving adds one line break in the page's style.
    const auto row = [](const char *name, const QByteArray &bytes, const char *end = "\r\n") {
        QTest::newRow(name) << bytes << bytes + end;
    };
    QByteArray everyByte; // but the line breaks
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\n' && byte != '\r')
            everyByte.append(char(byte));
    }
    const QByteArray bom("\xEF\xBB\xBF");
    row("empty", "");
    row("ASCII", "<html><body>Hello</body></html>\r\n");
    row("UTF-8 accents", "Caf\xC3\xA9, d\xC3\xA9j\xC3\xA0 vu, na\xC3\xAFve\r\n");
    row("CJK and emoji",
        "\xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x98\x80 \xF0\x9F\x87\xAB\xF0\x9F\x87\xB7\r\n");
    row("byte-order mark", bom + "<p>x</p>\r\n");
    row("two byte-order marks", bom + bom + "a");
    row("byte-order mark before invalid UTF-8", bom + "\xE9");
    row("non-breaking spaces", QByteArray("a\xC2\xA0") + "b&nbsp;c\xC2\xA0\r\n");
    row("tabs", "\t<ul>\r\n\t\t<li>x</li>\t\r\n");
    row("trailing spaces", "line   \r\n  \r\nend ");
    row("CR LF", "a\r\nb\r\n\r\nc\r\n");
    row("LF only", "a\nb\n\nc\n", "\n");
    row("line separator", QByteArray("a\xE2\x80\xA8") + "b\n", "\n");
    row("Windows-1252", "<p>caf\xE9 \x80 \x93quoted\x94 na\xEFve</p>\r\n");
    row("Windows-1252 undefined bytes", "\x81\x8D\x8F\x90\x9D\r\n");
    row("Windows-1252, every byte", everyByte + "\r\n");
    row("UTF-8 cut off at the end", "abc\xE4\xB8");
    row("encoded surrogate", "\xED\xA0\x80");
    row("no final line break", "<p>end</p>");
    row("NUL bytes", QByteArray("a\0b\r\n", 5));
    // The one page that changes: mixed line breaks all become CR LF.
    QTest::newRow("mixed line breaks")
        << QByteArray("a\r\nb\nc\rd") << QByteArray("a\r\nb\r\nc\r\nd\r\n");
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush();
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

WorkingDirectory::WorkingDirectory(const QString &folder) : m_previous(QDir::currentPath())
{
    if (!QDir::setCurrent(folder))
        QTest::qFail(qPrintable("cannot change to " + folder), __FILE__, __LINE__);
}

WorkingDirectory::~WorkingDirectory()
{
    QDir::setCurrent(m_previous);
}

int runInChild(qint64 maxFileBytes, const std::function<bool()> &body)
{
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit;
        getrlimit(RLIMIT_FSIZE, &limit);
        if (maxFileBytes >= 0)
            limit.rlim_cur = rlim_t(maxFileBytes);
        // _exit: the child must not run the parent's exit handlers or flush its buffers.
        _exit(setrlimit(RLIMIT_FSIZE, &limit) != 0 ? 3 : body() ? 0 : 1);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return 2;
    return WEXITSTATUS(status);
}

} // namespace TestSupport
