// The benchmark program of the shipped 32-bit code, run under Wine: integrate mode over
// large rasters, then the dialog through Ostravine.dll. Optional arguments name the
// sections to run ("integrate", "dialog") and set the repetitions ("--repetitions=N").

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/Bench32.h"

namespace {

constexpr int DefaultRepetitions = 5;

}  // namespace

int main(int argc, char** argv) {
  int repetitions = DefaultRepetitions;
  bool integrate = false, dialog = false;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--repetitions=", 0) == 0) {
      repetitions = std::max(1, std::atoi(argument.c_str() + 14));
    } else if (argument == "integrate") {
      integrate = true;
    } else if (argument == "dialog") {
      dialog = true;
    } else {
      std::fprintf(stderr, "usage: ostravine_bench32 [integrate] [dialog] [--repetitions=N]\n");
      return 2;
    }
  }
  if (!integrate && !dialog) integrate = dialog = true;
  std::printf("# median of %d repetitions; every ratio compares figures of this run\n", repetitions);
  if (integrate) RunIntegrateBench(repetitions);
  if (dialog) RunDialogBench(repetitions);
  return 0;
}
