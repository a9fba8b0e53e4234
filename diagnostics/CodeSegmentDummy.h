#pragma once
// An empty routine whose run-time address, set against its offset in the map file, tells
// where the module's code was loaded. The map lookup finds it by exactly this name.

extern "C" void __CodeSegmentTestDummy__();
