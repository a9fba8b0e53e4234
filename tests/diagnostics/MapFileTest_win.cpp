// The map file the build writes beside Ostravine.dll, read by the lookup against the
// library as the loader placed it.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "diagnostics/MapFile.h"
#include "platform/Handles.h"
#include "platform/WinApi.h"

namespace {

// Where the loader put the library's code section, from the module's own headers.
uint32_t CodeStart(HMODULE module) {
  const auto* base = reinterpret_cast<const uint8_t*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (int i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
    if (std::strncmp(reinterpret_cast<const char*>(section->Name), ".text", 8) == 0)
      return reinterpret_cast<uint32_t>(base + section->VirtualAddress);
  return 0;
}

// The dummy routine's offset as the map lists it; the rest of the map is the lookup's.
uint32_t DummyOffset(const std::string& mapFileName) {
  std::ifstream file(mapFileName);
  std::string line;
  while (std::getline(file, line))
    if (line.find("__CodeSegmentTestDummy__") != std::string::npos && line.compare(0, 6, " 0001:") == 0)
      return static_cast<uint32_t>(std::stoul(line.substr(6, 8), nullptr, 16));
  return 0;
}

std::string Hex(uint32_t value) {
  std::ostringstream text;
  text << std::uppercase << std::hex;
  text.width(8);
  text.fill('0');
  text << value;
  return text.str();
}

TEST(MapFileWin, BuiltMapResolvesTheLibrarysExport) {
  const TLibraryHandle library(LoadLibraryA("Ostravine.dll"));
  ASSERT_NE(library.Get(), nullptr);
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(library.Get(), path, MAX_PATH), 0u);
  const std::string mapFileName = MapFileNameFor(path);
  const uint32_t dummyOffset = DummyOffset(mapFileName);
  ASSERT_NE(dummyOffset, 0u) << mapFileName;
  const uint32_t dummy = CodeStart(library.Get()) + dummyOffset;
  const auto entry = reinterpret_cast<uint32_t>(GetProcAddress(library.Get(), "RegisterPlugin")) + 3;
  const std::string text = MapAddressToText(entry, mapFileName, dummy);
  EXPECT_EQ(text.rfind(Hex(entry) + ", Ostravine, RegisterPlugin@4, Ostravine.cpp line ", 0), 0u) << text;
}

}  // namespace
