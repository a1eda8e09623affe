// Find and Replace on pages of every size, against the same search over one
// flat copy of the page and against the stock text document's find loop.
#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QStringMatcher>
#include <QTextDocument>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <memory>

#include "editor/text/pagesearch.h"
#include "editor/text/textmodel.h"
#include "editor/text/textsearch.h"
#include "editor/view/textview.h"
#include "ratios.h"
#include "testsupport.h"

namespace {

// One match of "<font face=Arial>" a line, about a hundred characters a line.
const QString Line = QStringLiteral(
    "<p align=left>Lorem ipsum <font face=Arial>dolor</font> sit amet, consectetur elit.</p>\n");
const QString Needle = QStringLiteral("<font face=Arial>");
const QString Expression = QStringLiteral("<font face=(\\w+)>");

enum Page { Small, Lines, OneLine };
constexpr int64_t Sizes[] = {10 << 10, 100 << 20, 16 << 20};

// The page, with a match every `every` characters or so (every line when 0).
QString page(Page kind, int every = 0)
{
    QString text;
    text.reserve(Sizes[kind] + Line.size());
    QString line = Line;
    if (kind == OneLine)
        line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QString plain = line;
    plain.replace(QStringLiteral("Arial"), QStringLiteral("Times"));
    qsizetype next = every;
    while (text.size() < Sizes[kind]) {
        const bool match = every == 0 || text.size() >= next;
        text += match ? line : plain;
        if (match && every)
            next += every;
    }
    return text;
}

// The page as an edited one is held: opened, then changed every 10 KB, in
// up to a thousand places.
void openEdited(TextModel &model, const QString &text)
{
    model.setText(text);
    const int edits = int(std::min<qsizetype>(1000, text.size() / (10 << 10)));
    for (int i = 1; i <= edits; ++i) {
        const int at = int(qint64(text.size()) * i / (edits + 1));
        model.replace(at, 1, text.mid(at, 1));
    }
}

void setPage(benchmark::State &state)
{
    state.SetLabel(state.range(0) == Small   ? "10 KB"
                   : state.range(0) == Lines ? "100 MB lines"
                                             : "16 MB one line");
}

SearchQuery query(int kind)
{
    SearchQuery::Options options;
    options.matchCase = kind != 1;
    options.regularExpression = kind == 2;
    return SearchQuery(kind == 2 ? Expression : Needle, options);
}

// Counting every match, as the status line's count does.
void countMatches(benchmark::State &state)
{
    setPage(state);
    TextModel model;
    openEdited(model, page(Page(state.range(0))));
    const SearchQuery q = query(int(state.range(1)));
    const TextSearch::Scope all{0, model.length()};
    for (auto _ : state) {
        int count = 0;
        TextSearch::scan(model.text(), q, all, {0},
                         [&count](const TextSearch::Match &, const QRegularExpressionMatch *) {
                             ++count;
                             return true;
                         });
        benchmark::DoNotOptimize(count);
    }
}

// The same count over one flat QString copy of the page.
void countFlat(benchmark::State &state)
{
    setPage(state);
    const QString text = page(Page(state.range(0)));
    const SearchQuery q = query(int(state.range(1)));
    for (auto _ : state) {
        int count = 0;
        if (q.isRegular()) {
            for (auto it = q.expression().globalMatch(text); it.hasNext(); it.next())
                ++count;
        } else {
            const QStringMatcher &matcher = q.matcher();
            for (qsizetype i = matcher.indexIn(text); i >= 0;
                 i = matcher.indexIn(text, i + Needle.size()))
                ++count;
        }
        benchmark::DoNotOptimize(count);
    }
}

// The stock text document's find loop over a 2 MB page, and ours over the same.
void countStock(benchmark::State &state)
{
    QTextDocument document;
    document.setPlainText(page(Small).repeated(200));
    for (auto _ : state) {
        int count = 0;
        for (QTextCursor at = document.find(Needle); !at.isNull(); at = document.find(Needle, at))
            ++count;
        benchmark::DoNotOptimize(count);
    }
}

void countOurs2MB(benchmark::State &state)
{
    TextModel model;
    openEdited(model, page(Small).repeated(200));
    const SearchQuery q = query(1);
    for (auto _ : state) {
        const auto all = TextSearch::findAll(model.text(), q, {0, model.length()});
        benchmark::DoNotOptimize(all.size());
    }
}

// A view of the page with the find window's search over it.
struct Editor
{
    TextModel model;
    TextView view{model};
    PageSearch search{model};

    explicit Editor(const QString &text)
    {
        openEdited(model, text);
        view.setMarks(&search);
        view.resize(800, 600);
        view.show();
        QApplication::processEvents();
    }
    void settle()
    {
        while (search.isBusy())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        QApplication::processEvents();
    }
};

PageSearch::Settings find(const QString &pattern, const QString &replacement = QString())
{
    PageSearch::Settings settings;
    settings.pattern = pattern;
    settings.replacement = replacement;
    settings.options.matchCase = true;
    return settings;
}

// Find Next when the next match lies half a megabyte on, not yet counted,
// with the repaint it brings.
void findNext(benchmark::State &state)
{
    setPage(state);
    Editor editor(page(Page(state.range(0)), 512 << 10));
    editor.search.setSettings(find(Needle));
    const int middle = editor.model.length() / 2;
    for (auto _ : state) {
        state.PauseTiming();
        editor.search.cancel(); // the count of the last round is not there to ask
        editor.model.setSelection(middle, middle);
        QApplication::processEvents();
        state.ResumeTiming();
        editor.search.findNext();
        QApplication::processEvents();
        if (editor.model.selectionStart() < middle)
            state.SkipWithError("no match found");
    }
}

// Replace All of a match every line: a million on the 100 MB page.
void replaceAll(benchmark::State &state)
{
    setPage(state);
    Editor editor(page(Page(state.range(0))));
    editor.search.setSettings(find(Needle, "<font face=Verdana>"));
    qint64 peak = 0;
    for (auto _ : state) {
        peak = std::max(peak, TestSupport::peakGrowth([&editor] {
                            editor.search.replaceAll();
                            editor.settle();
                        }));
        state.PauseTiming();
        if (!editor.model.canUndo())
            state.SkipWithError("nothing replaced");
        editor.model.undo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak/page bytes"] = double(peak) / double(editor.model.length() * 2);
}

// The same result built from a flat copy with QString::replace.
void replaceFlat(benchmark::State &state)
{
    setPage(state);
    const QString text = page(Page(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        QString copy = text;
        copy.detach();
        state.ResumeTiming();
        copy.replace(Needle, QStringLiteral("<font face=Verdana>"));
        benchmark::DoNotOptimize(copy.constData());
    }
}

void undoReplaceAll(benchmark::State &state)
{
    setPage(state);
    Editor editor(page(Page(state.range(0))));
    editor.search.setSettings(find(Needle, "<font face=Verdana>"));
    for (auto _ : state) {
        state.PauseTiming();
        editor.search.replaceAll();
        editor.settle();
        state.ResumeTiming();
        editor.model.undo();
        QApplication::processEvents();
    }
}

// The longest the interface waits between two events while a count of
// every match of an expression runs.
void interfaceDuringCount(benchmark::State &state)
{
    setPage(state);
    Editor editor(page(Page(state.range(0))));
    PageSearch::Settings settings = find(Expression);
    settings.options.regularExpression = true;
    editor.search.setSettings(settings);
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        editor.search.cancel();
        editor.model.setSelection(0, 0);
        state.ResumeTiming();
        QElapsedTimer gap;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, &tick,
                         [&] { longest = std::max(longest, gap.restart()); });
        gap.start();
        tick.start();
        editor.search.findNext();
        longest = std::max(longest, gap.restart());
        editor.settle();
    }
    state.counters["longest gap ms"] = double(longest);
}

void pagesAndQueries(benchmark::internal::Benchmark *b)
{
    for (const int kind : {Small, Lines, OneLine}) {
        for (const int q : {0, 1, 2})
            b->Args({kind, q});
    }
    b->ArgNames({"page", "query"})->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(countMatches)->Apply(pagesAndQueries);
BENCHMARK(countFlat)->Apply(pagesAndQueries);
BENCHMARK(countStock)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(countOurs2MB)->Unit(benchmark::kMillisecond);
BENCHMARK(findNext)->Arg(Small)->Arg(Lines)->Arg(OneLine)->Unit(benchmark::kMicrosecond);
BENCHMARK(replaceAll)->Arg(Lines)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(replaceFlat)->Arg(Lines)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(undoReplaceAll)->Arg(Lines)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(interfaceDuringCount)->Arg(Lines)->Unit(benchmark::kMillisecond)->Iterations(1);

static const RatioRegistration ratios[] = {
    {"count, case, 100 MB lines / flat", "countFlat/page:1/query:0", "countMatches/page:1/query:0"},
    {"count, no case, 100 MB lines / flat", "countFlat/page:1/query:1",
     "countMatches/page:1/query:1"},
    {"count, expression, 100 MB lines / flat", "countFlat/page:1/query:2",
     "countMatches/page:1/query:2"},
    {"count, case, 16 MB line / flat", "countFlat/page:2/query:0", "countMatches/page:2/query:0"},
    {"count, no case, 16 MB line / flat", "countFlat/page:2/query:1",
     "countMatches/page:2/query:1"},
    {"count, expression, 16 MB line / flat", "countFlat/page:2/query:2",
     "countMatches/page:2/query:2"},
    {"count, case, 10 KB / flat", "countFlat/page:0/query:0", "countMatches/page:0/query:0"},
    {"count, expression, 10 KB / flat", "countFlat/page:0/query:2", "countMatches/page:0/query:2"},
    {"count 2 MB: ours / stock find loop", "countStock/iterations:1", "countOurs2MB"},
    {"findNext 100 MB lines / 10 KB", "findNext/0", "findNext/1"},
    {"findNext 16 MB line / 10 KB", "findNext/0", "findNext/2"},
    {"replaceAll 100 MB / flat QString::replace", "replaceFlat/1/iterations:2",
     "replaceAll/1/iterations:2"},
};
