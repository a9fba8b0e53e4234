#include "bench/BenchReport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MedianTime(int repetitions, const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < repetitions; ++i) {
    const double started = Seconds();
    run();
    times.push_back(Seconds() - started);
  }
  return Median(times);
}

// Three decimals, or three significant digits for the small ratios of small costs.
void ReportRatio(const char* name, double ratio) {
  std::printf(ratio >= 0.01 ? "%s %.3f\n" : "%s %.3g\n", name, ratio);
  std::fflush(stdout);
}

void ReportTime(const char* what, double seconds) {
  std::printf(seconds >= 1e-4 ? "# %-44s %9.2f ms\n" : "# %-44s %9.4f ms\n", what, 1000 * seconds);
  std::fflush(stdout);
}
