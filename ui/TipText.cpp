#include "ui/TipText.h"

#include <vector>

namespace {

constexpr std::string_view LineEnd = "\r\n";

// The figures of one line, each with the separator that ends it (none on the last).
std::vector<std::string_view> SplitFigures(std::string_view line) {
  std::vector<std::string_view> figures;
  size_t start = 0;
  for (size_t at = 0; at < line.size(); ++at) {
    for (std::string_view separator : FigureSeparators) {
      if (line.substr(at, separator.size()) != separator) continue;
      at += separator.size();
      // Further spaces belong to the same separator.
      while (at < line.size() && line[at] == ' ') ++at;
      figures.push_back(line.substr(start, at - start));
      start = at;
      break;
    }
  }
  if (start < line.size()) figures.push_back(line.substr(start));
  return figures;
}

std::string_view TrimEnd(std::string_view figure) {
  while (!figure.empty() && figure.back() == ' ') figure.remove_suffix(1);
  return figure;
}

void WrapLine(std::string_view line, int maxWidth, const std::function<int(std::string_view)>& width,
              std::string& text) {
  if (width(line) <= maxWidth) {
    text += line;
    return;
  }
  // The line so far runs from `start` to the end of the last figure taken.
  size_t start = 0, end = 0;
  for (std::string_view figure : SplitFigures(line)) {
    const size_t at = static_cast<size_t>(figure.data() - line.data());
    const size_t figureEnd = at + TrimEnd(figure).size();
    if (end > start && width(line.substr(start, figureEnd - start)) > maxWidth) {
      text += TrimEnd(line.substr(start, end - start));
      text += LineEnd;
      start = at;
    }
    end = figureEnd;
  }
  text += line.substr(start);
}

}  // namespace

std::string WrapFigures(std::string_view text, int maxWidth, const std::function<int(std::string_view)>& width) {
  std::string wrapped;
  for (size_t start = 0;;) {
    const size_t end = text.find(LineEnd, start);
    WrapLine(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start), maxWidth,
             width, wrapped);
    if (end == std::string_view::npos) return wrapped;
    wrapped += LineEnd;
    start = end + LineEnd.size();
  }
}
