#include "diagnostics/MapFile.h"

#include <cstdio>

#include "diagnostics/StringLists.h"
#include "streams/BufStream.h"

namespace {

constexpr char SegmentsHeader[] = "Detailed map of segments";
constexpr char SymbolsHeader[] = "  Address";
constexpr char LinesHeader[] = "Line numbers for";
constexpr char CodeLine[] = " 0001:";
constexpr char DummyName[] = "__CodeSegmentTestDummy__";
// A symbol or a line entry this far below the address belongs to something else: the
// address lies in code the map does not describe.
constexpr uint32_t SymbolReach = 16777216;
constexpr uint32_t LineReach = 1024;
constexpr size_t LineGroupWidth = 20;

// The map ended where more was required, or a field does not read as a number: the
// lookup stops with what it has.
struct TUnusableMap {};

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// Columns are 1-based; a short line gives what it has.
std::string Columns(const std::string& line, size_t column, size_t width) {
  return column - 1 < line.size() ? line.substr(column - 1, width) : std::string();
}

uint32_t HexField(const std::string& line, size_t column) {
  const std::string text = Columns(line, column, 8);
  if (text.empty()) throw TUnusableMap();
  uint32_t value = 0;
  for (const char c : text) {
    const int digit = c >= '0' && c <= '9' ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : -1;
    if (digit < 0) throw TUnusableMap();
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

// Right-aligned: leading blanks, then at least one digit.
int32_t DecimalField(const std::string& text) {
  size_t i = text.find_first_not_of(' ');
  if (i == std::string::npos) throw TUnusableMap();
  int32_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') throw TUnusableMap();
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::string HexAddress(uint32_t address) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(address));
  return text;
}

// Lines of the map file through the system's buffered file stream; a line ends at LF,
// and a CR before it is dropped, so files written on either system read the same.
class TMapReader {
 public:
  explicit TMapReader(const std::string& fileName) : FStream(OpenBufferedFile(fileName, false)) {
    FStream->SetExact(false);
  }
  ~TMapReader() { ReleaseChain(FStream); }
  TMapReader(const TMapReader&) = delete;
  TMapReader& operator=(const TMapReader&) = delete;

  // False at the end of the file.
  bool ReadLine(std::string& line) {
    line.clear();
    char c;
    bool any = false;
    while (FStream->Read(&c, 1) == 1) {
      any = true;
      if (c == '\n') break;
      line += c;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return any;
  }

  std::string NextLine() {
    std::string line;
    if (!ReadLine(line)) throw TUnusableMap();
    return line;
  }

  void SkipPast(const char* prefix) {
    while (!StartsWith(NextLine(), prefix)) {
    }
  }

  void SkipSection() {
    while (!NextLine().empty()) {
    }
  }

 private:
  TBufferedStream* FStream;
};

// The steps of one lookup, in the order the map file holds its parts. Each part appends
// to the result as soon as it is known, so a later failure keeps it.
class TMapLookup {
 public:
  explicit TMapLookup(const std::string& fileName) : FReader(fileName) {}

  void Resolve(uint32_t address, uint32_t dummyAddress, std::string& result) {
    FReader.SkipPast(SegmentsHeader);
    FReader.NextLine();
    TStringIntegerList segments;
    ReadSegments(segments);
    FReader.SkipPast(SymbolsHeader);
    FReader.NextLine();
    uint32_t base;
    if (!FindCodeBase(dummyAddress, base)) return;
    const uint32_t offset = address - base;
    result += UnitPart(segments, offset);
    FReader.SkipSection();
    FReader.SkipPast(SymbolsHeader);
    FReader.NextLine();
    result += SymbolPart(offset);
    result += LinePart(offset);
  }

 private:
  void ReadSegments(TStringIntegerList& segments) {
    for (std::string line = FReader.NextLine(); StartsWith(line, CodeLine); line = FReader.NextLine())
      segments.AddInteger(UnitName(line), static_cast<int32_t>(HexField(line, 7)));
  }

  // The name runs from column 60 to the first blank; without that blank it is empty.
  static std::string UnitName(const std::string& line) {
    const size_t blank = line.size() < 60 ? std::string::npos : line.find(' ', 59);
    return blank == std::string::npos ? std::string() : line.substr(59, blank - 59);
  }

  // The dummy routine's run-time address less its offset in the map is where the code
  // segment was loaded.
  bool FindCodeBase(uint32_t dummyAddress, uint32_t& base) {
    std::string line;
    while (FReader.ReadLine(line) && !line.empty()) {
      if (StartsWith(line, CodeLine) && EndsWith(line, DummyName)) {
        base = dummyAddress - HexField(line, 7);
        return true;
      }
    }
    return false;
  }

  // The segment that starts last at or below the offset; the last segment only marks
  // where the one before it ends.
  static std::string UnitPart(const TStringIntegerList& segments, uint32_t offset) {
    for (int i = 1; i < segments.Count(); ++i)
      if (static_cast<uint32_t>(segments.GetInteger(i)) > offset) return ", " + segments.Get(i - 1);
    return std::string();
  }

  std::string SymbolPart(uint32_t offset) {
    uint32_t best = 2147483647;
    std::string nearest;
    std::string line;
    while (FReader.ReadLine(line) && !line.empty()) {
      if (!StartsWith(line, CodeLine)) continue;
      const uint32_t distance = offset - HexField(line, 7);
      if (distance < best) {
        best = distance;
        nearest = line;
      }
    }
    return best < SymbolReach ? ", " + Columns(nearest, 22, std::string::npos) : std::string();
  }

  // The line entry nearest below the offset so far; earlier entries win ties.
  struct TNearestLine {
    uint32_t Best = LineReach;
    int32_t Number = 0;
    std::string Unit;
  };

  std::string LinePart(uint32_t offset) {
    TNearestLine nearest;
    std::string unit, line;
    while (FReader.ReadLine(line)) {
      if (StartsWith(line, LinesHeader)) {
        unit = LinesUnitName(line);
      } else if (!line.empty()) {
        if (line[0] != ' ') break;
        ScanGroups(line, unit, offset, nearest);
      }
    }
    return nearest.Number != 0 ? ", " + nearest.Unit + " line " + std::to_string(nearest.Number) : std::string();
  }

  // Each whole 20-character group: the line number right-aligned in columns 1-6, of which
  // 2-6 are read, and the code offset in columns 13-20.
  static void ScanGroups(const std::string& line, const std::string& unit, uint32_t offset, TNearestLine& nearest) {
    for (size_t group = 0; group + LineGroupWidth <= line.size(); group += LineGroupWidth) {
      const uint32_t distance = offset - HexField(line, group + 13);
      if (distance >= nearest.Best) continue;
      nearest.Unit = unit;
      nearest.Number = DecimalField(line.substr(group + 1, 5));
      nearest.Best = distance;
    }
  }

  // "Line numbers for Unit(Unit.cpp) segment .text": the name ends at the "(".
  static std::string LinesUnitName(const std::string& line) {
    const size_t bracket = line.find('(');
    return bracket == std::string::npos ? std::string() : line.substr(17, bracket - 17);
  }

  TMapReader FReader;
};

}  // namespace

std::string MapFileNameFor(const std::string& modulePath) {
  const size_t stop = modulePath.find_last_of(".\\");
  const bool hasExtension = stop != std::string::npos && modulePath[stop] == '.';
  return (hasExtension ? modulePath.substr(0, stop) : modulePath) + ".map";
}

// The report must come out even when the map is missing, damaged or too large: every
// failure, whatever its kind, leaves the text built so far.
std::string MapAddressToText(uint32_t address, const std::string& mapFileName, uint32_t dummyAddress) {
  std::string result = HexAddress(address);
  try {
    TMapLookup(mapFileName).Resolve(address, dummyAddress, result);
  } catch (...) {
  }
  return result;
}

std::string MapAddressToText(uint32_t address) {
  const TMapLocation map = ModuleMapLocation();
  return MapAddressToText(address, map.FileName, map.DummyAddress);
}

std::string StackTraceToText(const uint32_t* trace, const std::string& separator, const TMapLocation& map) {
  std::string text;
  for (const uint32_t* entry = trace; entry != nullptr && *entry != 0; ++entry)
    text += separator + MapAddressToText(*entry, map.FileName, map.DummyAddress);
  return text;
}

std::string StackTraceToText(const uint32_t* trace, const std::string& separator) {
  return StackTraceToText(trace, separator, ModuleMapLocation());
}
