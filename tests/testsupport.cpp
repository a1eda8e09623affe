#include "testsupport.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include "app/mainwindow.h"
#include "app/splash.h"
#include "editor/document.h"
#include "files/openform.h"
#include "files/saveform.h"
#include "files/saveform2.h"
#include "find/findreplace.h"
#include "help/abouthtml.h"
#include "help/aboutkorvanetech.h"
#include "help/faqform.h"
#include "markup/addlinkform.h"
#include "markup/addtitle.h"
#include "markup/form2.h"
#include "markup/form3.h"
#include "markup/form4.h"
#include "markup/fxform.h"
#include "markup/ipreview.h"
#include "markup/mform.h"
#include "markup/palette.h"
#include "markup/piccomp.h"
#include "markup/picinternet.h"
#include "markup/sform.h"
#include "markup/sout.h"
#include "markup/txtsize.h"
#include "platform/filename.h"
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

namespace {
std::function<void(QAccessibleEvent *)> &heardEvents()
{
    static std::function<void(QAccessibleEvent *)> heard;
    return heard;
}

void setAccessibilityActive(bool active)
{
    // What a screen reader's bridge does when one starts listening.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(active);
}
} // namespace

AccessibilityListener::AccessibilityListener(std::function<void(QAccessibleEvent *)> heard)
{
    heardEvents() = std::move(heard);
    QAccessible::installUpdateHandler([](QAccessibleEvent *event) { heardEvents()(event); });
    setAccessibilityActive(true);
}

AccessibilityListener::~AccessibilityListener()
{
    setAccessibilityActive(false);
    QAccessible::installUpdateHandler(nullptr);
    heardEvents() = nullptr;
}

bool hasDocumentedClass(QAccessibleEvent *event)
{
    switch (event->type()) {
    case QAccessible::TextInserted:
        return dynamic_cast<QAccessibleTextInsertEvent *>(event);
    case QAccessible::TextRemoved:
        return dynamic_cast<QAccessibleTextRemoveEvent *>(event);
    case QAccessible::TextUpdated:
        return dynamic_cast<QAccessibleTextUpdateEvent *>(event);
    case QAccessible::TextCaretMoved:
        return dynamic_cast<QAccessibleTextCursorEvent *>(event);
    case QAccessible::TextSelectionChanged:
        return dynamic_cast<QAccessibleTextSelectionEvent *>(event);
    case QAccessible::ValueChanged:
        return dynamic_cast<QAccessibleValueChangeEvent *>(event);
    case QAccessible::StateChanged:
        return dynamic_cast<QAccessibleStateChangeEvent *>(event);
    case QAccessible::TableModelChanged:
        return dynamic_cast<QAccessibleTableModelChangeEvent *>(event);
    default:
        return true;
    }
}

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
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch == QLatin1Char('\n')) {
            QTest::keyClick(widget, Qt::Key_Return);
        } else if (ch.unicode() < 0x80) {
            QTest::keyClicks(widget, QString(ch));
        } else {
            // No key of its own: it comes as text, as from an input method,
            // a surrogate pair in one event.
            const bool pair =
                ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
            const QString typed = text.mid(i, pair ? 2 : 1);
            i += pair ? 1 : 0;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, typed);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, typed);
            QApplication::sendEvent(widget, &press);
            QApplication::sendEvent(widget, &release);
        }
    }
}

void onNextPopup(std::function<void(QMenu *)> handle)
{
    QTimer::singleShot(0, qApp, [handle = std::move(handle)] {
        handle(qobject_cast<QMenu *>(QApplication::activePopupWidget()));
    });
}

void openEveryWindow(WindowRegistry &windows)
{
    windows.show<FindReplace>();
    windows.show<AboutHtml>();
    windows.show<AboutKorvaneTech>();
    windows.show<AddLinkForm>();
    windows.show<AddTitle>();
    windows.show<BgColor>();
    windows.show<FaqForm>();
    windows.window<Form2>();
    windows.window<Form3>();
    windows.window<Form4>();
    windows.show<FxForm>();
    windows.show<HlightColor>();
    windows.show<IPreview>();
    windows.show<MForm>();
    windows.show<OpenForm>();
    windows.show<PicComp>();
    windows.show<PicInternet>();
    windows.show<SaveForm>();
    windows.show<SaveForm2>();
    windows.show<SForm>();
    windows.show<Sout>();
    windows.show<Splash>()->findChild<QTimer *>("Timer1")->stop();
    windows.show<TextColor>();
    windows.show<TxtSize>();
}

int countPixels(const QImage &image, const std::function<bool(QPoint, QRgb)> &counts)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += counts(QPoint(x, y), image.pixel(x, y));
    }
    return count;
}

QWidget *findWindow(const WindowRegistry &windows, const QString &name)
{
    for (int id = 0; id < WindowIds::Count; ++id) {
        if (WindowIds::name(WindowId(id)) == name)
            return windows.find(WindowId(id));
    }
    return nullptr;
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

void clickAt(QWidget *widget, QPoint point, Qt::KeyboardModifiers modifiers, int clicks)
{
    QWindow *window = widget->window()->windowHandle();
    const QPoint at = widget->mapTo(widget->window(), point);
    if (clicks == 2)
        QTest::mouseDClick(window, Qt::LeftButton, modifiers, at);
    else
        QTest::mouseClick(window, Qt::LeftButton, modifiers, at);
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::KeyboardModifiers modifiers)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, modifiers);
    QApplication::sendEvent(widget, &event);
}

void addRoundTripRows()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("saved");
    // Saving adds one line break in the page's style.
    const auto row = [](const char *name, const QByteArray &bytes, const QByteArray &end = "\r\n") {
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
    // Pages with a wide byte-order mark; the final break is in their encoding.
    const QStringView page = u"\uFEFF<p>caf\u00E9 \u4E2D \U0001F600</p>\r\n\r\nend";
    row("UTF-16 LE", utf16(page), utf16(u"\r\n"));
    row("UTF-16 BE", utf16(page, true), utf16(u"\r\n", true));
    row("UTF-16 LE, LF only", utf16(u"\uFEFFa\nb\n"), utf16(u"\n"));
    row("UTF-16 BE, LF only", utf16(u"\uFEFFa\nb", true), utf16(u"\n", true));
    row("UTF-32 LE", utf32(page), utf32(u"\r\n"));
    row("UTF-32 BE", utf32(page, true), utf32(u"\r\n", true));
    row("UTF-32 LE, LF only", utf32(u"\uFEFFa\nb\n"), utf32(u"\n"));
    row("UTF-16 byte-order mark only", utf16(u"\uFEFF"), utf16(u"\r\n"));
    // Malformed wide pages are read byte for byte, and saved without the final
    // break where it would make their length fit, as another text.
    row("UTF-16, odd length",
        QByteArray("\xFF\xFE"
                   "a\0b\0\n\0c",
                   9),
        "");
    row("UTF-16 BE, odd length", QByteArray("\xFE\xFF\0a\0\n\0", 7), "");
    row("UTF-16 mark, odd length, CR LF kept odd", "\xFF\xFEx\r\n");
    row("UTF-32 LE mark, odd length", QByteArray("\xFF\xFE\0\0\n\0\0", 7), "");
    row("UTF-32 BE, three bytes short", QByteArray("\0\0\xFE\xFF\0\0\0\n\0\0\0", 11), "");
    row("UTF-32 BE, two bytes short", QByteArray("\0\0\xFE\xFF\0\0\0a\0\0", 10), "");
    row("UTF-32, unit beyond Unicode", QByteArray("\0\0\xFE\xFF\0\x11\0\0", 8));
    // UTF-16 LE beginning with U+0000 that the break would make pass for UTF-32 LE.
    row("UTF-16 LE beginning with NUL, LF", QByteArray("\xFF\xFE\0\0\n\0", 6), "");
    // Mixed line breaks all become CR LF.
    QTest::newRow("mixed line breaks") << QByteArray("a\r\nb\nc") << QByteArray("a\r\nb\r\nc\r\n");
    // Bytes that are not UTF-8 in a UTF-8 page, kept as lone surrogates.
    row("UTF-8 with a stray byte", "<p>caf\xC3\xA9 \xFF \xE4\xB8\xAD</p>\r\n");
    row("UTF-8, stray bytes and cut-off sequences, LF",
        "\xC3\xA9\xC3\xA8\xC3\xA0 \x80\xE9 \xF0\x9F\x98\n", "\n");
    row("byte-order mark before invalid UTF-8", bom + "\xE9");
    row("UTF-16 with lone surrogates",
        utf16(u"\uFEFF\xDC00"
              u"a\xD800"),
        utf16(u"\r\n"));
    row("UTF-32 turned down, read as UTF-16", QByteArray("\xFF\xFE\0\0\0\xD8\0\0", 8),
        utf16(u"\r\n"));
    // Characters a text box might take for line breaks or drop are kept.
    row("paragraph separator", QByteArray("a\xE2\x80\xA9") + "b\r\n");
    row("line and paragraph separators", QByteArray("\xE2\x80\xA8\xE2\x80\xA9\r\n"));
    row("noncharacters", QByteArray("\xEF\xB7\x90x\xEF\xB7\x91\r\n"));
    row("lone CR before CR LF", "a\r\r\nb");
    // A lone CR is a character; it does not change how the breaks are written.
    row("lone CR in an LF page", "a\nb\rc\n", "\n");
    row("lone CR in a CR LF page", "a\r\nb\rc\r\r\n");
    row("CR only", "a\rb\rc\r");
    row("lone CR, UTF-16", utf16(u"\uFEFFa\nb\rc"), utf16(u"\n"));
    // A final break would join a lone CR ending an LF page into a CR LF.
    row("lone CR ending an LF page", "a\nb\r", "");
    row("lone CR ending an LF page, UTF-16", utf16(u"\uFEFFa\nb\r", true), "");
    row("lone CR ending an LF page, UTF-32", utf32(u"\uFEFFa\nb\r"), "");
    row("lone CR ending a CR LF page", "a\r\nb\r");
    QTest::newRow("mixed line breaks and a lone CR")
        << QByteArray("a\r\nb\nc\rd") << QByteArray("a\r\nb\r\nc\rd\r\n");
}

QByteArray utf16(QStringView text, bool bigEndian)
{
    QByteArray bytes;
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        const char high = char(unit >> 8), low = char(unit & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

QByteArray utf32(QStringView text, bool bigEndian)
{
    QByteArray bytes;
    for (const char32_t codePoint : text.toUcs4()) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 24 - 8 * i : 8 * i;
            bytes.append(char((codePoint >> shift) & 0xFF));
        }
    }
    return bytes;
}

namespace {

qint64 residentPeak()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression peak(QStringLiteral("VmHWM:\\s*(\\d+) kB"));
    const QRegularExpressionMatch match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() * 1024 : -1;
}

} // namespace

qint64 peakGrowth(const std::function<void()> &body)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (residentPeak() < 0 || !clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    const qint64 before = residentPeak();
    body();
    return residentPeak() - before;
}

// Through FileName, so that names that are not UTF-8 keep their bytes.
QByteArray readBytes(const QString &path)
{
    std::unique_ptr<FILE, int (*)(FILE *)> file(
        std::fopen(FileName::encode(path).constData(), "rb"), &std::fclose);
    QByteArray bytes;
    char buffer[65536];
    while (file) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, qsizetype(got));
        if (got < sizeof buffer)
            break;
    }
    return bytes;
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    FILE *file = std::fopen(FileName::encode(path).constData(), "wb");
    if (!file)
        return false;
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), file) == size_t(bytes.size());
    return std::fclose(file) == 0 && written;
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

namespace {

// Mounts made from here on vanish with the test process.
bool privateMounts(QString &reason)
{
    static const bool done = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
                             mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    if (!done)
        reason = QStringLiteral("needs root and a mount namespace of its own");
    return done;
}

bool run(const QString &program, const QStringList &arguments, QString &reason)
{
    QProcess process;
    process.start(program, arguments);
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
        process.exitCode() == 0)
        return true;
    reason = program + " failed: " + process.errorString() + ' ' +
             QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return false;
}

} // namespace

SmallDisk::SmallDisk(Kind kind, qint64 bytes) : m_folder(std::make_unique<QTemporaryDir>())
{
    if (!privateMounts(m_reason))
        return;
    const QString at = m_folder->filePath("disk");
    QDir().mkdir(at);
    if (kind == Kind::Tmpfs) {
        const QByteArray options = "size=" + QByteArray::number(bytes);
        m_mounted =
            mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", 0, options.constData()) == 0;
        if (!m_mounted)
            m_reason = QStringLiteral("tmpfs cannot be mounted here");
        return;
    }
    const QString image = m_folder->filePath("image");
    if (QStandardPaths::findExecutable("mkfs.btrfs").isEmpty()) {
        m_reason = QStringLiteral("mkfs.btrfs is not installed");
        return;
    }
    QFile file(image);
    m_mounted = file.open(QIODevice::WriteOnly) && file.resize(bytes) &&
                run("mkfs.btrfs", {"-q", "--mixed", image}, m_reason) &&
                run("mount", {"-o", "loop", image, at}, m_reason);
}

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
}

QString SmallDisk::path() const
{
    return m_folder->filePath("disk");
}

bool SmallDisk::fill(qint64 room)
{
    // Filled to the last byte, then `room` given back: a full copy-on-write
    // disk cannot even shorten a file, but it can remove one.
    const QString spare = path() + "/spare";
    if (!writeBytes(spare, QByteArray(room, 's')))
        return false;
    const int fd =
        open(QFile::encodeName(path() + "/filler").constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const QByteArray block(65536, 'f');
    while (fd >= 0 && write(fd, block.constData(), size_t(block.size())) > 0) {
    }
    const bool closed = fd >= 0 && close(fd) == 0;
    sync();
    return QFile::remove(spare) && closed;
}

bool becomePlainUser()
{
    if (geteuid() != 0)
        return true;
    // The group first: without root, the user could no longer change it.
    return setgroups(0, nullptr) == 0 && setgid(PlainUserId) == 0 && setuid(PlainUserId) == 0;
}

QString shownFamily(const QString &named, const QString &standIn)
{
    // Qt lists a family that several foundries supply once for each: "Name [foundry]".
    const QStringList families = QFontDatabase::families();
    const bool installed =
        std::any_of(families.begin(), families.end(), [&named](const QString &family) {
            return family == named || family.startsWith(named + QLatin1String(" ["));
        });
    return installed ? named : standIn;
}

QString unevenAdvances(const QFont &font)
{
    const QFontMetricsF metrics(font);
    const qreal space = metrics.horizontalAdvance(QLatin1Char(' '));
    QString uneven;
    for (char ascii = '!'; ascii <= '~'; ++ascii) {
        if (metrics.horizontalAdvance(QLatin1Char(ascii)) != space)
            uneven += QLatin1Char(ascii);
    }
    return uneven;
}

} // namespace TestSupport
