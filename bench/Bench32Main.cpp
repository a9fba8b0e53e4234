// The benchmark program of the shipped 32-bit code, run under Wine: integrate mode over
// large rasters, line mode across a band, then the dialog through Ostravine.dll. Optional
// arguments name the sections to run ("integrate", "band", "dialog") and set the
// repetitions of all ("--repetitions=N").

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/Bench32.h"

namespace {

// The shortest sums (8-bit, 64 MiB) take about 3 ms, where a burst of the machine's other
// work shows: the median of 15 repetitions, which take a few seconds in all.
constexpr int DefaultRepetitions = 15;
// A toggle takes a few milliseconds and a window some tens, where a burst of another
// process's work, or of Wine's own, weighs heavily: the dialog's figures take the median of
// many more repetitions, each a fraction of a second.
constexpr int DefaultDialogRepetitions = 31;

}  // namespace

int main(int argc, char** argv) {
  int repetitions = 0;
  bool integrate = false, band = false, dialog = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--repetitions=", 0) == 0) {
      repetitions = std::max(1, std::atoi(argument.c_str() + 14));
    } else if (argument == "integrate") {
      integrate = true;
    } else if (argument == "band") {
      band = true;
    } else if (argument == "dialog") {
      dialog = true;
    } else {
      std::fprintf(stderr, "usage: ostravine_bench32 [integrate] [band] [dialog] [--repetitions=N]\n");
      return 2;
    }
  }
  if (!integrate && !band && !dialog) integrate = band = dialog = true;
  const int integrateRepetitions = repetitions > 0 ? repetitions : DefaultRepetitions;
  const int dialogRepetitions = repetitions > 0 ? repetitions : DefaultDialogRepetitions;
  std::printf("# every ratio compares figures of this run\n");
  if (integrate) {
    std::printf("# integrate mode: median of %d repetitions\n", integrateRepetitions);
    RunIntegrateBench(integrateRepetitions);
  }
  if (band) {
    std::printf("# line mode across a band: median of %d repetitions\n", integrateRepetitions);
    RunBandBench(integrateRepetitions);
  }
  if (dialog) {
    std::printf("# the dialog: median of %d repetitions\n", dialogRepetitions);
    RunDialogBench(dialogRepetitions);
  }
  return 0;
}
