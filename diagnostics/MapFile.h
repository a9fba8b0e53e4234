#pragma once
// Resolves code addresses of the running module to "unit, routine, line" through the
// linker's detailed map file that ships beside the module. The lookup never fails: what
// it cannot resolve stays as the address's 8 hexadecimal digits.

#include <cstdint>
#include <string>

// Where a module's addresses are looked up: its map file, and the run-time address of
// its routine __CodeSegmentTestDummy__, whose offset in the map gives the code base.
struct TMapLocation {
  std::string FileName;
  uint32_t DummyAddress = 0;
};

// The running module's map file: on Windows the plug-in library's path with ".map" in
// place of its extension; native programs ship none, so they stay with hex digits.
TMapLocation ModuleMapLocation();

// The module path with its extension (a "." after the last "\") replaced by ".map".
std::string MapFileNameFor(const std::string& modulePath);

// The address as 8 upper-case hex digits, then ", unit", ", routine" and
// ", unit line N" as far as the map file tells them. Reads the file afresh on each call.
std::string MapAddressToText(uint32_t address, const std::string& mapFileName, uint32_t dummyAddress);
std::string MapAddressToText(uint32_t address);

// For each entry of the zero-terminated trace, the separator and the entry's text; so the
// text starts with a separator unless the trace is empty. Null is an empty trace.
std::string StackTraceToText(const uint32_t* trace, const std::string& separator, const TMapLocation& map);
std::string StackTraceToText(const uint32_t* trace, const std::string& separator);
