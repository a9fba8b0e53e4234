#include "diagnostics/MailValues.h"

#include <string_view>

namespace {

char AsciiLower(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace

std::string MailValue(const TMailValues& values, const std::string& name) {
  for (const auto& [entryName, value] : values)
    if (SameName(entryName, name)) return value;
  return std::string();
}

std::vector<std::string> MailAttachments(const TMailValues& values) {
  std::vector<std::string> paths;
  for (;;) {
    std::string path = MailValue(values, "attachment" + std::to_string(paths.size()));
    if (path.empty()) return paths;
    paths.push_back(std::move(path));
  }
}

std::string AttachmentFileName(const std::string& path) { return path.substr(path.find_last_of("\\:") + 1); }
