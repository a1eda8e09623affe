// Opening and saving a page should cost little more than moving its bytes.
#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "files/pagefile.h"
#include "ratios.h"
#include "ui/windowregistry.h"

namespace {

// A UTF-8 page of ordinary source lines with accented letters, CR LF breaks,
// about `bytes` long.
QByteArray pageBytes(qsizetype bytes)
{
    const QByteArray line = "<p align=left>Caf\xC3\xA9 cr\xC3\xA8me, <b>d\xC3\xA9j\xC3\xA0 vu</b>, "
                            "na\xC3\xAFve text of an ordinary page.</p>\r\n";
    QByteArray page;
    page.reserve(bytes + line.size());
    while (page.size() < bytes)
        page += line;
    return page;
}

QTemporaryDir &folder()
{
    static QTemporaryDir instance;
    return instance;
}

// The page file of the benchmark's size, written once.
QString pagePath(benchmark::State &state)
{
    const QString path = folder().filePath(QStringLiteral("page%1.html").arg(state.range(0)));
    if (!QFile::exists(path)) {
        QFile file(path);
        const QByteArray bytes = pageBytes(state.range(0));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            state.SkipWithError("cannot write the page file");
    }
    return path;
}

// The most memory the process has held since the last resetPeakMemory(), in
// bytes, or -1 where the system does not tell.
qint64 peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression peak(QStringLiteral("VmHWM:\\s*(\\d+) kB"));
    const QRegularExpressionMatch match = peak.match(QString::fromLatin1(status.readAll()));
    return match.hasMatch() ? match.captured(1).toLongLong() * 1024 : -1;
}

bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

void setBytes(benchmark::State &state, qint64 bytes)
{
    state.SetBytesProcessed(state.iterations() * bytes);
}

void plainRead(benchmark::State &state)
{
    const QString path = pagePath(state);
    qint64 size = 0;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open");
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.constData());
        size = bytes.size();
    }
    setBytes(state, size);
}

void pageRead(benchmark::State &state)
{
    const QString path = pagePath(state);
    for (auto _ : state) {
        const auto page = PageFile::read(path);
        if (!page)
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(page->text.constData());
    }
    setBytes(state, QFile(path).size());
}

// Into the editor: read, convert and lay out, as "Open" does.
void pageOpen(benchmark::State &state)
{
    const QString path = pagePath(state);
    WindowRegistry windows;
    Document &document = windows.show<Main>()->document();
    QApplication::processEvents();
    for (auto _ : state) {
        const auto page = PageFile::read(path);
        document.setPage(page->text, page->format);
        QApplication::processEvents();
        state.PauseTiming();
        document.setPage(QString(), PageFormat());
        QApplication::processEvents();
        state.ResumeTiming();
    }
    setBytes(state, QFile(path).size());
}

void plainWrite(benchmark::State &state)
{
    const QByteArray bytes = pageBytes(state.range(0));
    const QString path = folder().filePath(QStringLiteral("plain.html"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            state.SkipWithError("cannot write");
    }
    setBytes(state, bytes.size());
}

// A plain write that also waits for the disk, as a safe save must.
void plainWriteSynced(benchmark::State &state)
{
    const QByteArray bytes = pageBytes(state.range(0));
    const QString path = folder().filePath(QStringLiteral("plain.html"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() ||
            !file.flush() || ::fsync(file.handle()) != 0)
            state.SkipWithError("cannot write");
    }
    setBytes(state, bytes.size());
}

void pageWrite(benchmark::State &state)
{
    const auto page = PageFile::read(pagePath(state));
    const QString path = folder().filePath(QStringLiteral("saved.html"));
    for (auto _ : state) {
        if (!PageFile::write(path, page->text, page->format))
            state.SkipWithError("cannot write");
    }
    setBytes(state, state.range(0));
}

// From the editor: take its text and write it, as "Save" does.
void pageSave(benchmark::State &state)
{
    const auto page = PageFile::read(pagePath(state));
    WindowRegistry windows;
    Document &document = windows.show<Main>()->document();
    document.setPage(page->text, page->format);
    QApplication::processEvents();
    const QString path = folder().filePath(QStringLiteral("saved.html"));
    const auto text = [&document](const std::function<void(QStringView)> &chunk) {
        document.readText(chunk);
    };
    const auto save = [&] {
        return PageFile::write(path, text, document.length(), document.format());
    };
    for (auto _ : state) {
        if (!save())
            state.SkipWithError("cannot write");
    }
    setBytes(state, state.range(0));
    // What one more save adds to the memory the open page holds, against the
    // size of what it wrote.
    if (resetPeakMemory()) {
        const qint64 before = peakMemory();
        save();
        const double written = double(QFile(path).size());
        state.counters["peak/written"] = double(peakMemory() - before) / written;
    }
}

// The editor's text encoded as saving does, without the disk.
void pageEncode(benchmark::State &state)
{
    const auto page = PageFile::read(pagePath(state));
    WindowRegistry windows;
    Document &document = windows.show<Main>()->document();
    document.setPage(page->text, page->format);
    QApplication::processEvents();
    const auto text = [&document](const std::function<void(QStringView)> &chunk) {
        document.readText(chunk);
    };
    for (auto _ : state) {
        const QByteArray bytes = PageCodec::encode(text, document.length(), document.format());
        benchmark::DoNotOptimize(bytes.constData());
    }
    setBytes(state, state.range(0));
}

constexpr int64_t SmallPage = 1 << 20;
constexpr int64_t LargePage = 50 << 20;

} // namespace

BENCHMARK(plainRead)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(pageRead)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(pageOpen)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(plainWrite)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(plainWriteSynced)
    ->Arg(SmallPage)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(pageWrite)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(pageEncode)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(pageSave)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();

static const RatioRegistration readSmall("read 1 MB / plain read", "plainRead/1048576/real_time",
                                         "pageRead/1048576/real_time");
static const RatioRegistration readLarge("read 50 MB / plain read", "plainRead/52428800/real_time",
                                         "pageRead/52428800/real_time");
static const RatioRegistration openSmall("open into editor 1 MB / plain read",
                                         "plainRead/1048576/real_time",
                                         "pageOpen/1048576/real_time");
static const RatioRegistration openLarge("open into editor 50 MB / plain read",
                                         "plainRead/52428800/real_time",
                                         "pageOpen/52428800/real_time");
static const RatioRegistration writeSmall("write 1 MB / plain write",
                                          "plainWrite/1048576/real_time",
                                          "pageWrite/1048576/real_time");
static const RatioRegistration writeLarge("write 50 MB / plain write",
                                          "plainWrite/52428800/real_time",
                                          "pageWrite/52428800/real_time");
static const RatioRegistration syncedSmall("write 1 MB / plain write + fsync",
                                           "plainWriteSynced/1048576/real_time",
                                           "pageWrite/1048576/real_time");
static const RatioRegistration syncedLarge("write 50 MB / plain write + fsync",
                                           "plainWriteSynced/52428800/real_time",
                                           "pageWrite/52428800/real_time");
static const RatioRegistration saveSmall("save from editor 1 MB / plain write",
                                         "plainWrite/1048576/real_time",
                                         "pageSave/1048576/real_time");
static const RatioRegistration saveLarge("save from editor 50 MB / plain write",
                                         "plainWrite/52428800/real_time",
                                         "pageSave/52428800/real_time");
static const RatioRegistration encodeLarge("encode from editor 50 MB / plain write + fsync",
                                           "plainWriteSynced/52428800/real_time",
                                           "pageEncode/52428800/real_time");
static const RatioRegistration saveSyncedSmall("save from editor 1 MB / plain write + fsync",
                                               "plainWriteSynced/1048576/real_time",
                                               "pageSave/1048576/real_time");
static const RatioRegistration saveSyncedLarge("save from editor 50 MB / plain write + fsync",
                                               "plainWriteSynced/52428800/real_time",
                                               "pageSave/52428800/real_time");
