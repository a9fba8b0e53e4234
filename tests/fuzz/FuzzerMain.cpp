// libFuzzer's entry for one fuzz target, named at build time.
#include "tests/fuzz/FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return OSTRAVINE_FUZZ_ENTRY(data, size); }
