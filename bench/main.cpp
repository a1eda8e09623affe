// Runs the benchmarks inside a QApplication and prints, after Google
// Benchmark's own table, the ratios declared by the benchmark files.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <unistd.h>

#include "ratios.h"

namespace {

class MedianReporter : public benchmark::ConsoleReporter
{
public:
    // Colours only on a terminal, so that a saved report stays readable.
    MedianReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                recordMedian(run.run_name.str(), run.GetAdjustedRealTime() * multiplier(run));
        }
        ConsoleReporter::ReportRuns(runs);
    }

private:
    static double multiplier(const Run &run)
    {
        switch (run.time_unit) {
        case benchmark::kSecond:
            return 1e9;
        case benchmark::kMillisecond:
            return 1e6;
        case benchmark::kMicrosecond:
            return 1e3;
        case benchmark::kNanosecond:
            break;
        }
        return 1.0;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform's complaints about raising windows would bury the table.
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.startsWith(QLatin1String("This plugin does not support")))
                previous(type, context, message);
        });
    QApplication app(argc, argv);
    // The journals of the pages edited here stay out of the user's own
    // folder, on a disk rather than in memory.
    const QTemporaryDir state(QDir::currentPath() + QStringLiteral("/bench-state-XXXXXX"));
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    printRatios();
    return 0;
}
