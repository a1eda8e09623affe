#include "ratios.h"

#include <cstdio>
#include <map>
#include <vector>

namespace {

struct Ratio
{
    std::string label;
    std::string baseline;
    std::string measured;
};

std::vector<Ratio> &ratios()
{
    static std::vector<Ratio> instance;
    return instance;
}

std::map<std::string, double> &medians()
{
    static std::map<std::string, double> instance;
    return instance;
}

} // namespace

RatioRegistration::RatioRegistration(const std::string &label, const std::string &baseline,
                                     const std::string &measured)
{
    ratios().push_back({label, baseline, measured});
}

void recordMedian(const std::string &name, double nanoseconds)
{
    medians()[name] = nanoseconds;
}

void printRatios()
{
    std::printf("\nRatios of medians (same run):\n");
    for (const Ratio &ratio : ratios()) {
        const auto baseline = medians().find(ratio.baseline);
        const auto measured = medians().find(ratio.measured);
        if (baseline == medians().end() || measured == medians().end() || baseline->second <= 0)
            continue;
        std::printf("  %-44s %9.4g  (%s / %s)\n", ratio.label.c_str(),
                    measured->second / baseline->second, ratio.measured.c_str(),
                    ratio.baseline.c_str());
    }
}
