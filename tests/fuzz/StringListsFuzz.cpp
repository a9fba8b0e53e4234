// Fuzz entry for the string lists: the input is a script of operations on a list and on a
// plain vector that models it; after every step both hold the same items, and a sorted list
// stays in byte order.

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "diagnostics/StringLists.h"
#include "errors/Exceptions.h"
#include "tests/fuzz/FuzzEntries.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

std::string Text(TFuzzInput& input) {
  static const char* const words[] = {"", "a", "A", "ab", "b", "Ab", "z", "\xFF", "a\0b"};
  std::string text = words[input.Byte() % 9];
  if (input.Flag()) text += static_cast<char>(input.Byte());
  return text;
}

void Check(bool holds) {
  if (!holds) std::abort();
}

void Step(TFuzzInput& input, TOpenStringList& list, std::vector<std::string>& model) {
  const int count = static_cast<int>(model.size());
  const int index = input.Range(-1, count + 1);
  const bool inside = index >= 0 && index < count;
  try {
    switch (input.Byte() % 9) {
      case 0: {
        const std::string text = Text(input);
        const int at = list.Add(text);
        if (at >= 0 && (list.Count() > count)) model.insert(model.begin() + at, text);
        break;
      }
      case 1: {
        const std::string text = Text(input);
        list.Insert(index, text);
        Check(!list.Sorted() && index >= 0 && index <= count);
        model.insert(model.begin() + index, text);
        break;
      }
      case 2:
        list.Delete(index);
        Check(inside);
        model.erase(model.begin() + index);
        break;
      case 3: {
        if (list.Sorted()) break;
        const int other = input.Range(0, std::max(0, count - 1));
        list.Exchange(index, other);
        Check(inside && other < count);
        std::swap(model[index], model[other]);
        break;
      }
      case 4: {
        const std::string text = Text(input);
        list.Put(index, text);
        Check(inside && !list.Sorted());
        model[index] = text;
        break;
      }
      case 5:
        list.Sort();
        if (!list.Sorted()) std::sort(model.begin(), model.end());
        break;
      case 6: {
        if (!list.Sorted() && input.Flag()) {
          list.Sort();
          std::sort(model.begin(), model.end());
        }
        if (!std::is_sorted(model.begin(), model.end())) break;
        list.SetSorted(true);
        list.SetDuplicates(static_cast<TDuplicates>(input.Byte() % 3));
        break;
      }
      case 7: {
        const std::string text = Text(input);
        const int found = list.IndexOf(text);
        Check(found == -1 || (found >= 0 && found < count));
        break;
      }
      default:
        // Empty items at the end would break a sorted list's order: it only shrinks.
        list.SetCount(list.Sorted() ? input.Range(0, count) : input.Range(0, 40));
        model.resize(static_cast<size_t>(list.Count()));
        break;
    }
  } catch (const Exception&) {
  }
}

}  // namespace

int FuzzStringLists(const uint8_t* data, size_t size) {
  TFuzzInput input(data, size);
  TOpenStringList list;
  std::vector<std::string> model;
  for (int steps = 0; steps < 200 && !input.Empty(); ++steps) {
    Step(input, list, model);
    Check(list.Count() == static_cast<int>(model.size()));
    for (int i = 0; i < list.Count(); ++i) Check(list.Get(i) == model[static_cast<size_t>(i)]);
    if (list.Sorted()) Check(std::is_sorted(model.begin(), model.end()));
  }
  return 0;
}
