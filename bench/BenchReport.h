#pragma once
// The small harness of the benchmark programs that run without Google Benchmark (the
// 32-bit build under Wine): a steady clock, medians of repetitions, and a report with one
// `name ratio` line per figure, which a script reads, and `#` lines with the absolute times.

#include <functional>
#include <vector>

double Seconds();
double Median(std::vector<double> values);
// The median of `repetitions` timed runs.
double MedianTime(int repetitions, const std::function<void()>& run);

void ReportRatio(const char* name, double ratio);
// A `#` line: the absolute time of what a ratio compares, in milliseconds.
void ReportTime(const char* what, double seconds);
