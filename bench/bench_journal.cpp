// What the recovery journal costs: the CPU of its sync against the keystrokes
// it follows, and the bytes and time a huge paste or Replace All takes to
// reach the disk.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "editor/text/pagesearch.h"
#include "files/statefolder.h"
#include "ratios.h"
#include "recovery/journal.h"
#include "recovery/journalfolder.h"
#include "ui/windowregistry.h"

namespace {

const QString Line = QStringLiteral(
    "<p align=left>Lorem ipsum <b>dolor</b> sit amet, consectetur adipiscing elit.</p>\n");

QString page(qsizetype characters)
{
    QString text;
    text.reserve(characters + Line.size());
    while (text.size() < characters)
        text += Line;
    return text;
}

double cpuSeconds()
{
    timespec now;
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

qint64 journalBytes()
{
    return QFileInfo(StateFolder::location() + '/' + JournalFolder::ownName()).size();
}

// Ten keystrokes, as a second of brisk typing brings, each laid out and
// painted; then the second's sync of the journal. Each is timed alone, as
// the CPU the whole process spent: the journal's thread and the kernel's
// writing included.
void typeAndSync(benchmark::State &state, bool timeSync)
{
    WindowRegistry windows;
    Main *main = windows.show<Main>();
    Document &document = main->document();
    document.setPage(page(state.range(0)), PageFormat(), QStringLiteral("/nowhere/page.html"));
    if (!timeSync)
        main->journal().discard();
    document.select(document.length() / 2, 0);
    QApplication::processEvents();
    QWidget *box =
        document.widget()->focusWidget() ? document.widget()->focusWidget() : document.widget();
    for (auto _ : state) {
        double start = cpuSeconds();
        for (int key = 0; key < 10; ++key) {
            QTest::keyClick(box, Qt::Key_A);
            QApplication::processEvents();
        }
        if (timeSync) {
            start = cpuSeconds();
            main->journal().flush();
        }
        state.SetIterationTime(cpuSeconds() - start);
    }
}

void typing(benchmark::State &state)
{
    typeAndSync(state, false);
}

void journalSync(benchmark::State &state)
{
    typeAndSync(state, true);
}

// A change of the whole page, then the time the journal takes to get it to
// disk, against a raw write of the same page as UTF-8; and the journal's
// bytes on disk against the page's bytes in memory (UTF-16).
void intoJournal(benchmark::State &state,
                 const std::function<void(Document &, const QString &)> &change)
{
    WindowRegistry windows;
    Main *main = windows.show<Main>();
    Document &document = main->document();
    const QString text = page(state.range(0));
    for (auto _ : state) {
        change(document, text);
        const auto start = std::chrono::steady_clock::now();
        main->journal().flush();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        state.counters["journal/page bytes"] = double(journalBytes()) / double(text.size() * 2);
    }
}

void pasteIntoJournal(benchmark::State &state)
{
    intoJournal(state, [](Document &document, const QString &text) {
        document.setPage(QString(), PageFormat());
        document.insertFragment(text);
    });
}

void replaceAllIntoJournal(benchmark::State &state)
{
    intoJournal(state, [](Document &document, const QString &text) {
        // Opened from a file: the journal starts from the file, not a copy.
        document.setPage(text, PageFormat(), QStringLiteral("/nowhere/page.html"));
        document.search().setSettings(
            {QStringLiteral("ipsum"), QStringLiteral("IPSUM"), {}, false, true});
        document.search().replaceAll();
        while (document.search().isBusy())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    });
}

void rawWrite(benchmark::State &state)
{
    const QByteArray bytes = page(state.range(0)).toUtf8();
    const QByteArray path = (StateFolder::location() + "/raw").toLocal8Bit();
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        benchmark::DoNotOptimize(::write(fd, bytes.constData(), size_t(bytes.size())));
        ::fdatasync(fd);
        ::close(fd);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ::unlink(path.constData());
    }
}

constexpr int64_t SmallPage = 10 << 10;
constexpr int64_t LargePage = 10 << 20;
constexpr int64_t HugePage = 100 << 20;

} // namespace

BENCHMARK(typing)->Arg(SmallPage)->Arg(LargePage)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(journalSync)
    ->Arg(SmallPage)
    ->Arg(LargePage)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(pasteIntoJournal)
    ->Arg(HugePage)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(replaceAllIntoJournal)
    ->Arg(HugePage)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(rawWrite)->Arg(HugePage)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

static const RatioRegistration journalRatios[] = {
    {"journal sync / ten keystrokes, 10 KB", "typing/10240/manual_time",
     "journalSync/10240/manual_time"},
    {"journal sync / ten keystrokes, 10 MB", "typing/10485760/manual_time",
     "journalSync/10485760/manual_time"},
    {"100 MB paste to disk / raw write", "rawWrite/104857600/iterations:1/manual_time",
     "pasteIntoJournal/104857600/iterations:1/manual_time"},
    {"100 MB Replace All to disk / raw write", "rawWrite/104857600/iterations:1/manual_time",
     "replaceAllIntoJournal/104857600/iterations:1/manual_time"},
};
