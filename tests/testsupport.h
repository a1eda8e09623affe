#pragma once

#include <QByteArray>
#include <QEvent>
#include <QImage>
#include <QList>
#include <QMessageBox>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>
#include <memory>
#include <optional>

#include "platform/messagebox.h"

class Document;
class Main;
class QAccessibleEvent;
class QAction;
class QFont;
class QMenu;
class QTemporaryDir;
class QToolButton;
class QWidget;
class WindowRegistry;

namespace TestSupport {

// A registry with its main window shown and active, as after start-up.
class Program
{
public:
    Program();
    ~Program();

    WindowRegistry &windows() { return *m_windows; }
    Main *main() const;
    Document &document();
    QWidget *source() const;

    // The main window's menu entries and toolbar buttons, by name and all of them.
    QAction *entry(const QString &name) const;
    QToolButton *button(const QString &name) const;
    QList<QAction *> entries() const;
    QList<QToolButton *> buttons() const;

private:
    std::unique_ptr<WindowRegistry> m_windows;
};

// A listener of assistive technology while it lives: QAccessible::isActive()
// holds, as with a screen reader running, and every event sent goes to
// `heard` instead of the platform's bridge.
class AccessibilityListener
{
public:
    explicit AccessibilityListener(std::function<void(QAccessibleEvent *)> heard);
    ~AccessibilityListener();
    AccessibilityListener(const AccessibilityListener &) = delete;
    AccessibilityListener &operator=(const AccessibilityListener &) = delete;
};

// Whether `event` is of the class Qt documents for its type, the class
// bridges take it for.
bool hasDocumentedClass(QAccessibleEvent *event);

// Answers every message box while it lives, recording what was asked.
class MessageBoxes
{
public:
    explicit MessageBoxes(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~MessageBoxes();

    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    const QList<MessageBox::Message> &shown() const { return *m_shown; }

private:
    QMessageBox::StandardButton m_answer;
    std::shared_ptr<QList<MessageBox::Message>> m_shown;
};

// Stands in for the file-open dialog while it lives: each run takes the next
// answer, a path or nothing (cancelled). It starts as a fresh run of the
// program, with no file picked yet.
class FileDialogs
{
public:
    FileDialogs();
    ~FileDialogs();

    void queue(std::optional<QString> answer) { m_answers->append(answer); }
    int runs() const { return *m_runs; }
    // The folder each run started in, empty for the working folder.
    QStringList startFolders() const { return *m_startFolders; }

private:
    std::shared_ptr<QList<std::optional<QString>>> m_answers;
    std::shared_ptr<int> m_runs;
    std::shared_ptr<QStringList> m_startFolders;
};

// Creates every window of the program: those a user sees shown, the menu
// holders hidden, the splash with its timer stopped.
void openEveryWindow(WindowRegistry &windows);

// The window of that name, if it exists: tests list windows by their names.
QWidget *findWindow(const WindowRegistry &windows, const QString &name);

// Delivers every event already posted, deferred deletions and zero-time
// timers included, so that a test sees what they leave behind.
void flushEvents();

// How many pixels of `image` `counts` picks, given each one's place and colour.
int countPixels(const QImage &image, const std::function<bool(QPoint, QRgb)> &counts);

// Types `text` into `widget` key by key, as a user would.
void type(QWidget *widget, const QString &text);

// A popup menu blocks until it closes: arm this before the click that opens
// one, and `handle` runs with the open menu (nullptr when none opened).
void onNextPopup(std::function<void(QMenu *)> handle);

// Clicks `widget` as a user does: the window system first makes its window
// the active one, then the click arrives.
void clickInto(QWidget *widget);

// Clicks at `point` of `widget` through its window, as a user does; `clicks`
// 2 makes it a double click.
void clickAt(QWidget *widget, QPoint point, Qt::KeyboardModifiers modifiers = {}, int clicks = 1);

// Sends one left-button mouse event of `type` straight to `widget`, the
// button held from the press to the release, so that a gesture goes the same
// way to two widgets.
void sendMouse(QWidget *widget, QEvent::Type type, QPoint at,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// Adds the columns "bytes" and "saved" and a row for each kind of page a user
// may open: its bytes on disk, and those that opening and saving it gives.
void addRoundTripRows();

// `text` in UTF-16 or UTF-32 of either byte order, as a page file holds it.
QByteArray utf16(QStringView text, bool bigEndian = false);
QByteArray utf32(QStringView text, bool bigEndian = false);

// How far the resident memory's peak rises while `body` runs, in bytes, or -1
// where the system does not tell.
qint64 peakGrowth(const std::function<void()> &body);

QByteArray readBytes(const QString &path);
bool writeBytes(const QString &path, const QByteArray &bytes);

// Every name in `folder`, hidden ones included.
QStringList entries(const QString &folder);

// Makes `folder` the working directory while it lives.
class WorkingDirectory
{
public:
    explicit WorkingDirectory(const QString &folder);
    ~WorkingDirectory();

private:
    QString m_previous;
};

// Runs `body` in a child process, where it may change the user, and where
// files cannot grow beyond `maxFileBytes` unless that is -1: a write past it
// fails with EFBIG, as on a full disk. Returns 0 when `body` returned true,
// 1 when it returned false, more when the child failed.
int runInChild(qint64 maxFileBytes, const std::function<bool()> &body);

// A small file system of its own, mounted at a temporary folder while this
// lives, in a mount namespace private to the test process. Needs root, and
// for btrfs its tools and a loop device; reason() says what was missing.
class SmallDisk
{
public:
    enum class Kind { Tmpfs, Btrfs };
    SmallDisk(Kind kind, qint64 bytes);
    ~SmallDisk();

    bool isMounted() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const;
    // Fills the disk but for about `room` bytes.
    bool fill(qint64 room);

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    bool m_mounted = false;
    QString m_reason;
};

// In a child of runInChild: when running as root, goes on as the unprivileged
// user "nobody", so that permissions count. False when that fails.
bool becomePlainUser();
constexpr unsigned PlainUserId = 65534;

// The family that a face the layouts name shows in: that face where the
// machine has it, whatever its foundry, else the program's `standIn`.
QString shownFamily(const QString &named, const QString &standIn);

// The printable ASCII characters of `font` that advance otherwise than a
// space does; empty when all take one width, as in a console.
QString unevenAdvances(const QFont &font);

} // namespace TestSupport
