// Shared by the benchmarks: a stopwatch, the median of a few runs, the result
// table row. Speeds are only ever compared as ratios against a baseline measured
// in the same run.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace vtx::bench {

inline double Seconds() {
    LARGE_INTEGER now{}, frequency{};
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Runs `work` once and gives its duration in seconds; `prepare` runs before, untimed.
template <typename Prepare, typename Work>
double Timed(Prepare&& prepare, Work&& work) {
    prepare();
    const double start = Seconds();
    work();
    return Seconds() - start;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0);
}

// One line of the results table (Markdown): what, measured, baseline, ratio, target.
inline void Row(const std::string& what, const std::string& measured, const std::string& baseline, double ratio,
                const std::string& target, bool met) {
    std::printf("| %s | %s | %s | %.2f | %s | %s |\n", what.c_str(), measured.c_str(), baseline.c_str(), ratio,
                target.c_str(), met ? "met" : "MISSED");
    std::fflush(stdout);
}

inline std::string Ms(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f ms", seconds * 1000.0);
    return text;
}

}  // namespace vtx::bench
