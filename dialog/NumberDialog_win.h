#pragma once
// A small modal dialog that asks for a few numbers, a labelled field each, with OK and
// Cancel: "Set value range..." and the size of a saved PNG picture. Numbers are read with
// "." or "," as their decimal point; what is no number, or what the caller refuses, gets
// the caller's message, and the dialog stays.

#include <functional>
#include <optional>
#include <vector>

class TForm;

struct TNumberField {
  const char* Label;
  double Value;
};

struct TNumberQuestion {
  const char* Caption;
  std::vector<TNumberField> Fields;
  // Shown when a field holds no number or the numbers are refused.
  const char* Refusal;
  // Whether the numbers, in the fields' order, will do; none accepts any.
  std::function<bool(const std::vector<double>&)> Accept;
};

// The numbers typed, or none when the user cancels.
std::optional<std::vector<double>> AskNumbers(TForm& owner, const TNumberQuestion& question);
