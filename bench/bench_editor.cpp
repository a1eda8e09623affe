// Commands must cost the same on a large page as on a small one.
#include <QApplication>

#include <benchmark/benchmark.h>

#include "app/mainwindow.h"
#include "editor/document.h"
#include "ratios.h"
#include "ui/windowregistry.h"

namespace {

const QString Line = QStringLiteral(
    "<p align=left>Lorem ipsum <b>dolor</b> sit amet, consectetur adipiscing elit.</p>\n");

// A page of ordinary source lines, about `bytes` long.
QString page(qsizetype bytes)
{
    const QString &line = Line;
    QString text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    return text;
}

template <class Command> void runCommand(benchmark::State &state, Command command)
{
    WindowRegistry windows;
    Main *main = windows.show<Main>();
    Document &document = main->document();
    document.setText(page(state.range(0)));
    QApplication::processEvents();
    // The same place within a line on every page, so that both pages repaint alike.
    const int lines = int(state.range(0) / Line.size());
    const int middle = int(lines / 2 * Line.size() + 15);

    for (auto _ : state) {
        document.select(middle, 20);
        command(document);
        QApplication::processEvents(); // layout and paint belong to the command's cost
        state.PauseTiming();
        document.undo();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}

void insertFragment(benchmark::State &state)
{
    runCommand(state, [](Document &document) { document.insertFragment("<br>"); });
}

void wrapSelection(benchmark::State &state)
{
    runCommand(state, [](Document &document) { document.wrapSelection("<b>", "</b>"); });
}

constexpr int64_t SmallPage = 10 << 10;
constexpr int64_t LargePage = 10 << 20;

} // namespace

BENCHMARK(insertFragment)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMicrosecond);
BENCHMARK(wrapSelection)->Arg(SmallPage)->Arg(LargePage)->Unit(benchmark::kMicrosecond);

static const RatioRegistration insertRatio("insertFragment 10 MB / 10 KB", "insertFragment/10240",
                                           "insertFragment/10485760");
static const RatioRegistration wrapRatio("wrapSelection 10 MB / 10 KB", "wrapSelection/10240",
                                         "wrapSelection/10485760");
