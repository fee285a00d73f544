// Timing helpers for the benchmarks: medians of repeated runs, printed as one line each.
#pragma once

#include <functional>
#include <string>

namespace bench {

double now_ms();
// Runs f `runs` times (after one warm-up) and returns the median in milliseconds.
double median_ms(int runs, const std::function<void()>& f);
void report(const std::string& name, double value, const std::string& unit,
            const std::string& note = "");

}  // namespace bench
