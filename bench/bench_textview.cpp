// The source box at any size: opening, typing, commands, moving and copying
// cost about the same on a page of 100 MB or a 16 MB line as on 10 KB, and
// well below Qt's stock plain-text box measured in the same run.
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QStyleHints>
#include <QTimer>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <ctime>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "ratios.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

namespace {

enum Page : int64_t {
    Small,    // 10 KB of source lines, the baseline
    Large,    // 100 MB of 80-character lines
    OneLine,  // 1 MB on one line of words
    LongLine, // 16 MB on one line of words
    NoBreak,  // 16 MB on one line with no break opportunity
    // 10 KB on one line with no break opportunity: the same text as NoBreak
    // in small, to show what the page's size costs apart from its text.
    SmallNoBreak,
    ZeroWidth,  // 4 M zero-width spaces on one line
    Marks,      // one letter carrying 1 M combining marks
    EmptyLines, // 100 MB of line breaks alone
    Controls,   // 10 KB of lines of control characters, drawn as pictures
    Pages,
};

QString makePage(int64_t page)
{
    static const QString line = QStringLiteral(
        "<p align=left>Lorem ipsum <b>dolor</b> sit amet, consectetur elit, sed do.</p>\n");
    static const QString words = QStringLiteral("<b>lorem</b> ipsum dolor sit amet, ");
    const auto repeat = [](const QString &unit, qsizetype bytes) {
        return unit.repeated(bytes / unit.size() + 1).left(bytes);
    };
    switch (page) {
    case Small:
        return repeat(line, 10 << 10);
    case Large:
        return repeat(line, 100 << 20);
    case OneLine:
        return repeat(words, 1 << 20);
    case LongLine:
        return repeat(words, 16 << 20);
    case NoBreak:
        return QString(16 << 20, QLatin1Char('A'));
    case SmallNoBreak:
        return QString(10 << 10, QLatin1Char('A'));
    case ZeroWidth:
        return QString(4 << 20, QChar(0x200B));
    case Marks:
        return QLatin1Char('a') + QString(1 << 20, QChar(0x0301));
    case Controls: {
        QString controls;
        for (char16_t unit = 1; unit < 0x20; ++unit) {
            if (unit != u'\t' && unit != u'\n')
                controls += QChar(unit);
        }
        return repeat(controls.repeated(3).left(79) + QLatin1Char('\n'), 10 << 10);
    }
    default:
        return QString(100 << 20, QLatin1Char('\n'));
    }
}

const QString &pageText(int64_t page)
{
    static QString cached[Pages];
    if (cached[page].isEmpty())
        cached[page] = makePage(page);
    return cached[page];
}

qint64 residentBytes()
{
    long pages = 0;
    long resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return qint64(resident) * sysconf(_SC_PAGESIZE);
}

double cpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void settle()
{
    QApplication::processEvents(); // layout and paint belong to what is measured
}

// The editor with a page open, the caret at `caret` of it.
class Editor
{
public:
    explicit Editor(int64_t page)
    {
        m_main = m_windows.show<Main>();
        document().setText(pageText(page));
        settle();
    }
    Document &document() { return m_main->document(); }
    QWidget *box() { return document().widget(); }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}, const QString &text = {})
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(box(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(box(), &release);
    }

private:
    WindowRegistry m_windows;
    Main *m_main = nullptr;
};

// Where a keystroke goes: the page's end, its middle, the middle of its last line.
int placeOf(const QString &text, int64_t where)
{
    if (where == 0)
        return int(text.size());
    if (where == 1)
        return int(text.size() / 2);
    const int lastLine = int(text.lastIndexOf(QLatin1Char('\n'), text.size() - 2)) + 1;
    return lastLine + int(text.size() - lastLine) / 2;
}

// Opens the page into a box through `setText` on every run, counting the
// resident growth per byte of the page's UTF-8 (it is ASCII, but for the
// zero-width and mark pages).
template <class SetText> void measureOpen(benchmark::State &state, SetText setText)
{
    const QString &text = pageText(state.range(0));
    settle();
    double growth = 0;
    for (auto _ : state) {
        // The page as read from its file: text of its own, counted in the growth.
        state.PauseTiming();
        const qint64 before = residentBytes();
        QString read(text.constData(), text.size());
        state.ResumeTiming();
        setText(read);
        settle();
        state.PauseTiming();
        growth = double(residentBytes() - before);
        read.clear();
        setText(QString());
        settle();
        state.ResumeTiming();
    }
    state.counters["rss/bytes"] = growth / double(text.size());
}

void open(benchmark::State &state)
{
    WindowRegistry windows;
    Document &document = windows.show<Main>()->document();
    measureOpen(state, [&document](const QString &text) { document.setText(text); });
}

void stockOpen(benchmark::State &state)
{
    QPlainTextEdit box;
    box.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box.resize(553, 401);
    box.show();
    measureOpen(state, [&box](const QString &text) { box.setPlainText(text); });
}

// One typed character with its repaint; range(1) says where. Every other
// key is a Backspace, so that the page stays as it was opened.
void keystroke(benchmark::State &state)
{
    Editor editor(state.range(0));
    const int at = placeOf(pageText(state.range(0)), state.range(1));
    editor.document().select(at, 0);
    settle();
    bool typed = false;
    for (auto _ : state) {
        if (typed)
            editor.key(Qt::Key_Backspace);
        else
            editor.key(Qt::Key_X, {}, QStringLiteral("x"));
        typed = !typed;
        settle();
    }
}

// What a screen reader's bridge does with each event: takes the texts a
// change carries and asks where the caret went, as it puts them on the bus.
void bridgeHears(QAccessibleEvent *event)
{
    qsizetype carried = 0;
    if (auto *insert = dynamic_cast<QAccessibleTextInsertEvent *>(event))
        carried = insert->textInserted().size();
    else if (auto *remove = dynamic_cast<QAccessibleTextRemoveEvent *>(event))
        carried = remove->textRemoved().size();
    else if (auto *update = dynamic_cast<QAccessibleTextUpdateEvent *>(event))
        carried = update->textRemoved().size() + update->textInserted().size();
    else if (event->type() == QAccessible::TextCaretMoved)
        carried = event->accessibleInterface()->textInterface()->cursorPosition();
    benchmark::DoNotOptimize(carried);
}

// The same keystrokes while a screen reader listens.
void listenedKeystroke(benchmark::State &state)
{
    const TestSupport::AccessibilityListener listener(bridgeHears);
    keystroke(state);
}

// Opening a page, and erasing it whole and undoing that, while a screen
// reader listens or not (range(1)): each change is told with its first
// characters only.
void listenedOpenErase(benchmark::State &state)
{
    std::optional<TestSupport::AccessibilityListener> listener;
    if (state.range(1))
        listener.emplace(bridgeHears);
    Editor editor(Small);
    const QString &text = pageText(state.range(0));
    for (auto _ : state) {
        editor.document().setText(text);
        editor.document().select(0, editor.document().length());
        editor.key(Qt::Key_Delete);
        editor.key(Qt::Key_Z, Qt::ControlModifier);
        settle();
    }
}

void stockKeystroke(benchmark::State &state)
{
    const QString &text = pageText(state.range(0));
    QPlainTextEdit box;
    box.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box.resize(553, 401);
    box.show();
    box.setPlainText(text);
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(placeOf(text, state.range(1)));
    box.setTextCursor(cursor);
    settle();
    bool typed = false;
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, typed ? Qt::Key_Backspace : Qt::Key_X, {},
                        typed ? QString() : QStringLiteral("x"));
        QApplication::sendEvent(&box, &press);
        typed = !typed;
        settle();
    }
}

template <class Command> void command(benchmark::State &state, Command run)
{
    Editor editor(state.range(0));
    const int at = placeOf(pageText(state.range(0)), 1);
    for (auto _ : state) {
        editor.document().select(at, 20);
        run(editor.document());
        settle();
        state.PauseTiming();
        editor.document().undo();
        settle();
        state.ResumeTiming();
    }
}

void insertFragment(benchmark::State &state)
{
    command(state, [](Document &document) { document.insertFragment("<br>"); });
}

void wrapSelection(benchmark::State &state)
{
    command(state, [](Document &document) { document.wrapSelection("<b>", "</b>"); });
}

void undoCommand(benchmark::State &state)
{
    Editor editor(state.range(0));
    const int at = placeOf(pageText(state.range(0)), 1);
    for (auto _ : state) {
        state.PauseTiming();
        editor.document().select(at, 20);
        editor.document().wrapSelection("<b>", "</b>");
        settle();
        state.ResumeTiming();
        editor.document().undo();
        settle();
    }
}

void sendMouse(QWidget *viewport, QEvent::Type type, QPoint at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, viewport->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

// A double click on a word and a drag by words to a row above, with the
// repaints, in two places by turns so that no press makes a triple click.
void doubleClickDrag(QWidget *viewport, int step)
{
    const QPoint word = step % 2 ? QPoint(200, 60) : QPoint(320, 110);
    const QPoint to = word - QPoint(140, 40);
    for (QEvent::Type type :
         {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick})
        sendMouse(viewport, type, word);
    sendMouse(viewport, QEvent::MouseMove, to);
    sendMouse(viewport, QEvent::MouseButtonRelease, to);
    settle();
}

void wordDrag(benchmark::State &state)
{
    Editor editor(state.range(0));
    QWidget *viewport = static_cast<QAbstractScrollArea *>(editor.box())->viewport();
    int step = 0;
    for (auto _ : state)
        doubleClickDrag(viewport, ++step);
}

void stockWordDrag(benchmark::State &state)
{
    QPlainTextEdit box;
    box.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box.resize(553, 401);
    box.show();
    box.setPlainText(pageText(state.range(0)));
    settle();
    int step = 0;
    for (auto _ : state)
        doubleClickDrag(box.viewport(), ++step);
}

// Ctrl+End then Ctrl+Home, Page Down, or a wheel step, each with its repaint.
void navigate(benchmark::State &state)
{
    Editor editor(state.range(0));
    QWidget *box = editor.box();
    int step = 0;
    for (auto _ : state) {
        switch (state.range(1)) {
        case 0:
            editor.key(Qt::Key_End, Qt::ControlModifier);
            settle();
            editor.key(Qt::Key_Home, Qt::ControlModifier);
            break;
        case 1:
            // Down and up by turns, so that the page's end never stops it.
            editor.key(++step % 2 ? Qt::Key_PageDown : Qt::Key_PageUp);
            break;
        default: {
            const QPointF at(100, 100);
            const QPoint delta(0, ++step % 2 ? -120 : 120);
            QWheelEvent wheel(at, box->mapToGlobal(at), QPoint(), delta, Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(box->childAt(at.toPoint()), &wheel);
        }
        }
        settle();
    }
}

void selectAllCopy(benchmark::State &state)
{
    // An edited page: its text is in pieces, not the one string it was opened from.
    Editor editor(state.range(0));
    editor.document().select(placeOf(pageText(state.range(0)), 1), 0);
    editor.key(Qt::Key_X, {}, QStringLiteral("x"));
    for (auto _ : state) {
        editor.key(Qt::Key_A, Qt::ControlModifier);
        editor.key(Qt::Key_C, Qt::ControlModifier);
        settle();
        state.PauseTiming();
        QApplication::clipboard()->clear();
        state.ResumeTiming();
    }
}

// What copying needs at least: one copy of the text.
void plainCopy(benchmark::State &state)
{
    const QString &text = pageText(state.range(0));
    for (auto _ : state) {
        QString copy(text.constData(), text.size());
        benchmark::DoNotOptimize(copy.constData());
    }
}

// CPU used, in percent of a core, while the event loop runs `ms` milliseconds.
double idlePercent(int ms = 3000)
{
    const double start = cpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    return (cpuSeconds() - start) * 100 * 1000 / ms;
}

constexpr int64_t Blinking = 0;
constexpr int64_t Still = 1;   // a caret that never blinks: the floor
constexpr int64_t Stopped = 2; // after the caret's ten blinks since the last key

// CPU used per second of wall time on an open page; range(1) says how the
// caret stands.
void idle(benchmark::State &state)
{
    QStyleHints *hints = QGuiApplication::styleHints();
    const int flash = hints->cursorFlashTime();
    if (state.range(1) == Still)
        hints->setCursorFlashTime(0);
    Editor editor(state.range(0));
    editor.box()->setFocus();
    editor.document().select(placeOf(pageText(state.range(0)), 2), 0);
    settle();
    if (state.range(1) == Stopped)
        idlePercent(11 * flash);
    double percent = 0;
    for (auto _ : state)
        percent = idlePercent();
    state.counters["cpu%"] = percent;
    hints->setCursorFlashTime(flash);
}

// The same for Qt's stock box on the 10 KB page: what a blinking caret costs
// in Qt's own paint cycle.
void stockIdle(benchmark::State &state)
{
    QPlainTextEdit box;
    box.resize(553, 401);
    box.show();
    box.setPlainText(pageText(Small));
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(placeOf(pageText(Small), 2));
    box.setTextCursor(cursor);
    box.setFocus();
    settle();
    double percent = 0;
    for (auto _ : state)
        percent = idlePercent();
    state.counters["cpu%"] = percent;
}

// The middle of the line that holds the page's middle.
int middleOfMiddleLine(const QString &text)
{
    const qsizetype middle = text.size() / 2;
    const qsizetype start = text.lastIndexOf(QLatin1Char('\n'), middle) + 1;
    const qsizetype end = text.indexOf(QLatin1Char('\n'), middle);
    return int((start + (end < 0 ? text.size() : end)) / 2);
}

// What a screen reader asks as the caret moves: the item of the kind
// range(1) (a QAccessible::TextBoundaryType) before, at or after (range(2))
// the middle of the middle line, just after a key typed at that line's start,
// so that the text around it is in pieces. `qtDefault` asks Qt's default
// answer instead, which reads the whole text.
void askAccessible(benchmark::State &state, bool qtDefault)
{
    Editor editor(state.range(0));
    const QString &page = pageText(state.range(0));
    const int middle = middleOfMiddleLine(page);
    editor.document().select(int(page.lastIndexOf(QLatin1Char('\n'), middle) + 1), 0);
    editor.key(Qt::Key_X, {}, QStringLiteral("x"));
    settle();
    QAccessibleTextInterface *text =
        QAccessible::queryAccessibleInterface(editor.box())->textInterface();
    const auto type = QAccessible::TextBoundaryType(state.range(1));
    int start = -1;
    int end = -1;
    for (auto _ : state) {
        QString item;
        if (qtDefault)
            item = text->QAccessibleTextInterface::textAtOffset(middle + 1, type, &start, &end);
        else if (state.range(2) == 0)
            item = text->textBeforeOffset(middle + 1, type, &start, &end);
        else if (state.range(2) == 1)
            item = text->textAtOffset(middle + 1, type, &start, &end);
        else
            item = text->textAfterOffset(middle + 1, type, &start, &end);
        benchmark::DoNotOptimize(item.constData());
    }
    state.counters["chars"] = end - start;
}

void accessibleText(benchmark::State &state)
{
    askAccessible(state, false);
}

void qtAccessibleText(benchmark::State &state)
{
    askAccessible(state, true);
}

constexpr int64_t End = 0;
constexpr int64_t Middle = 1;
constexpr int64_t LineMiddle = 2;

} // namespace

BENCHMARK(open)
    ->DenseRange(Small, NoBreak)
    ->Arg(EmptyLines)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(stockOpen)
    ->Arg(Small)
    ->Arg(Large)
    ->Arg(LongLine)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(keystroke)
    ->ArgsProduct({{Small, Large, OneLine, LongLine, NoBreak}, {End, Middle, LineMiddle}})
    ->Args({SmallNoBreak, LineMiddle})
    ->ArgsProduct({{ZeroWidth, Marks}, {End, LineMiddle}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(listenedKeystroke)
    ->ArgsProduct({{Small, Large, LongLine}, {Middle}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(listenedOpenErase)
    ->ArgsProduct({{Large}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(stockKeystroke)
    ->Args({Small, LineMiddle})
    ->Args({OneLine, LineMiddle})
    ->Iterations(5)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(insertFragment)->DenseRange(Small, NoBreak)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(wrapSelection)->DenseRange(Small, NoBreak)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(undoCommand)->DenseRange(Small, NoBreak)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(navigate)
    ->ArgsProduct({{Small, Large, OneLine, LongLine, NoBreak}, {0, 1, 2}})
    ->Args({Controls, 1})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(wordDrag)->DenseRange(Small, NoBreak)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(stockWordDrag)
    ->Arg(Small)
    ->Arg(OneLine)
    ->Iterations(20)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(selectAllCopy)->Arg(Large)->Arg(LongLine)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(plainCopy)->Arg(Large)->Arg(LongLine)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(idle)
    ->ArgsProduct({{Small, LongLine}, {Blinking, Still, Stopped}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(accessibleText)
    ->ArgsProduct({{Small, Large, LongLine},
                   {QAccessible::CharBoundary, QAccessible::WordBoundary,
                    QAccessible::SentenceBoundary, QAccessible::LineBoundary},
                   {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(qtAccessibleText)
    ->Args({Large, QAccessible::WordBoundary, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(stockIdle)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

static const RatioRegistration openRatio("open 100 MB: view / stock box",
                                         "stockOpen/1/iterations:1/real_time", "open/1/real_time");
static const RatioRegistration openLongRatio("open 16 MB line: view / stock box",
                                             "stockOpen/3/iterations:1/real_time",
                                             "open/3/real_time");
static const RatioRegistration keyRatio("key mid 1 MB line: view / stock box",
                                        "stockKeystroke/2/2/iterations:5/real_time",
                                        "keystroke/2/2/real_time");
#define TAGLOOM_LISTENED_RATIO(page, label)                                                        \
    static const RatioRegistration listened##page(label, "keystroke/" #page "/1/real_time",        \
                                                  "listenedKeystroke/" #page "/1/real_time")
TAGLOOM_LISTENED_RATIO(0, "key mid 10 KB: screen reader listening / not");
TAGLOOM_LISTENED_RATIO(1, "key mid 100 MB: screen reader listening / not");
TAGLOOM_LISTENED_RATIO(3, "key mid 16 MB line: screen reader listening / not");
static const RatioRegistration listenedOpen("open+erase+undo 100 MB: screen reader listening / not",
                                            "listenedOpenErase/1/0/real_time",
                                            "listenedOpenErase/1/1/real_time");
static const RatioRegistration copyLarge("Select All+Copy 100 MB / plain copy",
                                         "plainCopy/1/real_time", "selectAllCopy/1/real_time");
static const RatioRegistration copyLong("Select All+Copy 16 MB line / plain copy",
                                        "plainCopy/3/real_time", "selectAllCopy/3/real_time");
#define TAGLOOM_KEY_RATIO(page, where, label)                                                      \
    static const RatioRegistration key##page##where(label, "keystroke/0/" #where "/real_time",     \
                                                    "keystroke/" #page "/" #where "/real_time")
TAGLOOM_KEY_RATIO(1, 0, "key at end 100 MB / 10 KB");
TAGLOOM_KEY_RATIO(1, 1, "key mid 100 MB / 10 KB");
TAGLOOM_KEY_RATIO(3, 2, "key mid 16 MB line / 10 KB");
TAGLOOM_KEY_RATIO(4, 2, "key mid 16 MB no-break / 10 KB");
#define TAGLOOM_KEY_LINE_RATIO(page, where, label)                                                 \
    static const RatioRegistration keyLine##page##where(                                           \
        label, "keystroke/3/" #where "/real_time", "keystroke/" #page "/" #where "/real_time")
static const RatioRegistration keyNoBreak("key mid 16 MB no-break / 10 KB no-break",
                                          "keystroke/5/2/real_time", "keystroke/4/2/real_time");
// Runs of zero-width characters are cut into rows of bounded length, so a key
// among them costs what it does among words.
TAGLOOM_KEY_LINE_RATIO(6, 0, "key at end 4 M zero-width / 16 MB line");
TAGLOOM_KEY_LINE_RATIO(6, 2, "key mid 4 M zero-width / 16 MB line");
TAGLOOM_KEY_LINE_RATIO(7, 0, "key at end 1 M marks / 16 MB line");
TAGLOOM_KEY_LINE_RATIO(7, 2, "key mid 1 M marks / 16 MB line");
static const RatioRegistration insertLong("insertFragment 16 MB line / 10 KB",
                                          "insertFragment/0/real_time",
                                          "insertFragment/3/real_time");
static const RatioRegistration wrapLarge("wrapSelection 100 MB / 10 KB",
                                         "wrapSelection/0/real_time", "wrapSelection/1/real_time");
static const RatioRegistration undoLong("undo 16 MB no-break / 10 KB", "undoCommand/0/real_time",
                                        "undoCommand/4/real_time");
static const RatioRegistration wordDragSmall("double click+drag 10 KB: view / stock box",
                                             "stockWordDrag/0/iterations:20/real_time",
                                             "wordDrag/0/real_time");
static const RatioRegistration wordDragLine("double click+drag 1 MB line: view / stock box",
                                            "stockWordDrag/2/iterations:20/real_time",
                                            "wordDrag/2/real_time");
static const RatioRegistration wordDragLarge("double click+drag 100 MB / 10 KB",
                                             "wordDrag/0/real_time", "wordDrag/1/real_time");
static const RatioRegistration wordDragLong("double click+drag 16 MB line / 10 KB",
                                            "wordDrag/0/real_time", "wordDrag/3/real_time");
static const RatioRegistration wordDragNoBreak("double click+drag 16 MB no-break / 10 KB",
                                               "wordDrag/0/real_time", "wordDrag/4/real_time");
static const RatioRegistration pageDownLarge("Page Down/Up 100 MB / 10 KB",
                                             "navigate/0/1/real_time", "navigate/1/1/real_time");
static const RatioRegistration pageDownControls("Page Down/Up 10 KB of control characters / 10 KB",
                                                "navigate/0/1/real_time", "navigate/9/1/real_time");
static const RatioRegistration endLong("Ctrl+End,Home 16 MB line / 10 KB", "navigate/0/0/real_time",
                                       "navigate/3/0/real_time");
// Every question on the 100 MB page and the 16 MB line against the same on 10 KB.
static const bool accessibleRatios = [] {
    const std::pair<int, const char *> pages[] = {{Large, "100 MB"}, {LongLine, "16 MB line"}};
    const std::pair<int, const char *> types[] = {{QAccessible::CharBoundary, "char"},
                                                  {QAccessible::WordBoundary, "word"},
                                                  {QAccessible::SentenceBoundary, "sentence"},
                                                  {QAccessible::LineBoundary, "line"}};
    const char *sides[] = {"before", "at", "after"};
    for (const auto &[page, pageName] : pages) {
        for (const auto &[type, typeName] : types) {
            for (int side = 0; side < 3; ++side) {
                const std::string args = "/" + std::to_string(type) + "/" + std::to_string(side);
                RatioRegistration(std::string("a11y ") + typeName + " " + sides[side] + " " +
                                      pageName + " / 10 KB",
                                  "accessibleText/0" + args + "/real_time",
                                  "accessibleText/" + std::to_string(page) + args + "/real_time");
            }
        }
    }
    return true;
}();
static const RatioRegistration accessibleDefault("a11y word at 100 MB: Qt default / view",
                                                 "accessibleText/1/1/1/real_time",
                                                 "qtAccessibleText/1/1/1/iterations:3/real_time");
