// Opening and saving a page should cost little more than moving its bytes.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "files/pagefile.h"
#include "ratios.h"
#include "testsupport.h"
#include "ui/windowregistry.h"

namespace {

// A page of each form the opening code tells apart.
enum class Sample {
    Utf8,
    StrayByte, // UTF-8 but for one byte in the middle
    Windows1252,
    Utf16,
    Utf32,
    Cjk, // UTF-8 of three bytes a character, but for a few tags
};

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

QByteArray sampleBytes(Sample sample, qsizetype bytes)
{
    if (sample == Sample::Utf8)
        return pageBytes(bytes);
    if (sample == Sample::StrayByte) {
        QByteArray page = pageBytes(bytes);
        page[page.size() / 2] = '\xFF';
        return page;
    }
    const QString line =
        sample == Sample::Cjk
            ? QStringLiteral(u"<p>%1</p>\r\n")
                  .arg(QStringLiteral(u"\u4E2D\u6587\u7F51\u9875\uFF0C\u8FD9\u662F\u4E00\u4E2A"
                                      u"\u666E\u901A\u7684\u6BB5\u843D\u3002")
                           .repeated(4))
            : QString::fromUtf8(pageBytes(1));
    QString text =
        sample == Sample::Utf16 || sample == Sample::Utf32 ? QStringLiteral(u"\uFEFF") : QString();
    const qsizetype unitBytes = sample == Sample::Utf16 ? 2 : sample == Sample::Utf32 ? 4 : 1;
    const qsizetype lineBytes =
        (sample == Sample::Cjk ? line.toUtf8().size() : line.size()) * unitBytes;
    text.reserve(bytes / unitBytes + line.size());
    for (qsizetype size = 0; size < bytes; size += lineBytes)
        text += line;
    switch (sample) {
    case Sample::Windows1252:
        return text.toLatin1();
    case Sample::Utf16:
        return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    case Sample::Utf32: {
        const QList<uint> units = text.toUcs4();
        return QByteArray(reinterpret_cast<const char *>(units.constData()), units.size() * 4);
    }
    default:
        return text.toUtf8();
    }
}

QTemporaryDir &folder()
{
    static QTemporaryDir instance;
    return instance;
}

// The page file of the benchmark's size, written once.
QString pagePath(benchmark::State &state, Sample sample = Sample::Utf8)
{
    const QString path =
        folder().filePath(QStringLiteral("page%1-%2.html").arg(state.range(0)).arg(int(sample)));
    if (!QFile::exists(path)) {
        QFile file(path);
        const QByteArray bytes = sampleBytes(sample, state.range(0));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            state.SkipWithError("cannot write the page file");
    }
    return path;
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

// A page file of each form read, and the most memory that takes beside what
// the process held before, as a share of the file's bytes.
void pageReadMemory(benchmark::State &state, Sample sample)
{
    const QString path = pagePath(state, sample);
    for (auto _ : state) {
        const auto page = PageFile::read(path);
        if (!page)
            state.SkipWithError("cannot read");
        benchmark::DoNotOptimize(page->text.constData());
    }
    const qint64 size = QFile(path).size();
    setBytes(state, size);
    const qint64 peak = TestSupport::peakGrowth(
        [&path] { benchmark::DoNotOptimize(PageFile::read(path)->text.constData()); });
    if (peak >= 0)
        state.counters["peak/bytes"] = double(peak) / double(size);
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
// The same over a page with a second hard link, which is written in place
// after a copy of its old bytes is on disk.
void pageWriteInPlace(benchmark::State &state)
{
    const auto page = PageFile::read(pagePath(state));
    const QString path = folder().filePath(QStringLiteral("linked.html"));
    const QString other = folder().filePath(QStringLiteral("other.html"));
    QFile::remove(path);
    QFile::remove(other);
    if (!PageFile::write(path, page->text, page->format) ||
        ::link(QFile::encodeName(path).constData(), QFile::encodeName(other).constData()) != 0)
        state.SkipWithError("cannot link the page");
    for (auto _ : state) {
        if (!PageFile::write(path, page->text, page->format))
            state.SkipWithError("cannot write");
    }
    setBytes(state, state.range(0));
}

void saveFromEditor(benchmark::State &state, Sample sample)
{
    const auto page = PageFile::read(pagePath(state, sample));
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
    const qint64 peak = TestSupport::peakGrowth([&save] { save(); });
    if (peak >= 0)
        state.counters["peak/written"] = double(peak) / double(QFile(path).size());
}

void pageSave(benchmark::State &state)
{
    saveFromEditor(state, Sample::Utf8);
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
BENCHMARK_CAPTURE(pageReadMemory, utf8, Sample::Utf8)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(pageReadMemory, strayByte, Sample::StrayByte)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(pageReadMemory, windows1252, Sample::Windows1252)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(pageReadMemory, utf16, Sample::Utf16)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(pageReadMemory, utf32, Sample::Utf32)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(pageOpen)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(plainWrite)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(plainWriteSynced)
    ->Arg(SmallPage)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(pageWrite)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(pageWriteInPlace)
    ->Arg(SmallPage)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(pageEncode)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(pageSave)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(saveFromEditor, cjk, Sample::Cjk)
    ->Arg(LargePage)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

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
static const RatioRegistration inPlaceLarge("write in place 50 MB / write 50 MB",
                                            "pageWrite/52428800/real_time",
                                            "pageWriteInPlace/52428800/real_time");
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
static const RatioRegistration readUtf8("read 50 MB UTF-8 / plain read",
                                        "plainRead/52428800/real_time",
                                        "pageReadMemory/utf8/52428800/real_time");
static const RatioRegistration readStray("read 50 MB UTF-8 with a stray byte / plain read",
                                         "plainRead/52428800/real_time",
                                         "pageReadMemory/strayByte/52428800/real_time");
static const RatioRegistration readWindows1252("read 50 MB Windows-1252 / plain read",
                                               "plainRead/52428800/real_time",
                                               "pageReadMemory/windows1252/52428800/real_time");
static const RatioRegistration readUtf16("read 50 MB UTF-16 / plain read",
                                         "plainRead/52428800/real_time",
                                         "pageReadMemory/utf16/52428800/real_time");
static const RatioRegistration readUtf32("read 50 MB UTF-32 / plain read",
                                         "plainRead/52428800/real_time",
                                         "pageReadMemory/utf32/52428800/real_time");
static const RatioRegistration saveCjk("save CJK from editor 50 MB / plain write",
                                       "plainWrite/52428800/real_time",
                                       "saveFromEditor/cjk/52428800/real_time");
