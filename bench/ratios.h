#pragma once

#include <string>

// Declares that the median of `measured` is to be printed as a ratio to the
// median of `baseline`, both measured in the same run.
struct RatioRegistration
{
    RatioRegistration(const std::string &label, const std::string &baseline,
                      const std::string &measured);
};

// Prints every declared ratio whose two benchmarks ran; call after the run.
void printRatios();

// Records one benchmark's median real time (nanoseconds).
void recordMedian(const std::string &name, double nanoseconds);
