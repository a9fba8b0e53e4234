#include "host/CommandLine.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

#include "errors/Exceptions.h"
#include "host/HostTexts.h"

namespace {

bool ParseInt(const char*& cursor, int32_t& value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(cursor, &end, 10);
  if (end == cursor || errno == ERANGE || parsed < INT32_MIN || parsed > INT32_MAX) return false;
  value = static_cast<int32_t>(parsed);
  cursor = end;
  return true;
}

const std::string& ValueOf(const std::vector<std::string>& args, size_t& i) {
  if (i + 1 >= args.size()) throw Exception(FormatText(S_HOST_MISSING_VALUE, args[i].c_str()));
  return args[++i];
}

void TakeOption(const std::vector<std::string>& args, size_t& i, THostOptions& options) {
  const std::string& name = args[i];
  if (name == "--exit") {
    options.ExitAfterCommand = true;
  } else if (name == "--run") {
    options.RunCommand = ValueOf(args, i);
  } else if (name == "--screenshot") {
    options.ScreenshotPath = ValueOf(args, i);
  } else if (name == "--shot-delay") {
    const std::string& value = ValueOf(args, i);
    const char* cursor = value.c_str();
    if (!ParseInt(cursor, options.ShotDelay) || *cursor != '\0' || options.ShotDelay < 0)
      throw Exception(FormatText(S_HOST_BAD_DELAY, value.c_str()));
  } else if (name == "--select") {
    const std::string& value = ValueOf(args, i);
    if (!ParseSelection(value, options.Selection)) throw Exception(FormatText(S_HOST_BAD_SELECTION, value.c_str()));
  } else {
    throw Exception(FormatText(S_HOST_UNKNOWN_OPTION, name.c_str()));
  }
}

}  // namespace

bool ParseSelection(const std::string& text, TRect& selection) {
  int32_t values[4];
  const char* cursor = text.c_str();
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && *cursor++ != ',') return false;
    if (!ParseInt(cursor, values[i])) return false;
  }
  if (*cursor != '\0') return false;
  selection = TRect{values[0], values[1], values[2], values[3]};
  return true;
}

THostOptions ParseCommandLine(const std::vector<std::string>& args) {
  THostOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i].size() > 1 && args[i][0] == '-') TakeOption(args, i, options);
    else if (options.ImagePath.empty()) options.ImagePath = args[i];
    else throw Exception(FormatText(S_HOST_TWO_IMAGES, args[i].c_str()));
  }
  return options;
}
