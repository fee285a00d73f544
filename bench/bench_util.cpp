#include "bench_util.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {

double now_ms() {
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return 1000.0 * static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}

double median_ms(int runs, const std::function<void()>& f) {
    f();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double t0 = now_ms();
        f();
        times.push_back(now_ms() - t0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const std::string& name, double value, const std::string& unit,
            const std::string& note) {
    std::printf("%-48s %12.3f %-4s %s\n", name.c_str(), value, unit.c_str(), note.c_str());
    std::fflush(stdout);
}

}  // namespace bench
