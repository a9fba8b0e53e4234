#include "diagnostics/StringLists.h"

#include <algorithm>
#include <utility>

#include "errors/Exceptions.h"
#include "resources/Texts.h"

namespace {

char FoldAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringAsciiCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

[[noreturn]] void RaiseIndexError(int index) { throw EStringListError(FormatText(S_LIST_INDEX, index)); }
[[noreturn]] void RaiseSortedError() { throw EStringListError(S_SORTED_LIST); }

int CompareStrings(const TOpenStringList& list, int index1, int index2) {
  return list.Get(index1).compare(list.Get(index2));
}

}  // namespace

void TOpenStringList::CheckIndex(int index) const {
  if (index < 0 || index >= FCount) RaiseIndexError(index);
}

const std::string& TOpenStringList::Get(int index) const {
  CheckIndex(index);
  return FList[index].String;
}

void* TOpenStringList::GetObject(int index) const {
  CheckIndex(index);
  return FList[index].Object;
}

void TOpenStringList::Put(int index, const std::string& text) {
  if (FSorted) RaiseSortedError();
  CheckIndex(index);
  FList[index].String = text;
}

void TOpenStringList::PutObject(int index, void* object) {
  CheckIndex(index);
  FList[index].Object = object;
}

// Below Count the items beyond the new end would be lost with their storage.
void TOpenStringList::SetCapacity(int capacity) {
  if (capacity < FCount) RaiseIndexError(capacity);
  std::unique_ptr<TStringItem[]> list;
  if (capacity > 0) {
    list = std::make_unique<TStringItem[]>(capacity);
    std::move(FList.get(), FList.get() + FCount, list.get());
  }
  FList = std::move(list);
  FCapacity = capacity;
}

// Steps of 4 while small, 16 up to 64 items, then a quarter: 0, 4, 8, 12, 28, 44, 60, 76, 95...
void TOpenStringList::Grow() {
  const int delta = FCapacity > 64 ? FCapacity / 4 : FCapacity > 8 ? 16 : 4;
  SetCapacity(FCapacity + delta);
}

void TOpenStringList::SetCount(int count) {
  if (count < 0) RaiseIndexError(count);
  if (count > FCapacity) SetCapacity(count);
  if (count > FCount) {
    // Slots beyond Count are always empty with null references.
    FCount = count;
    return;
  }
  while (FCount > count) Delete(FCount - 1);
}

void TOpenStringList::InsertItem(int index, const std::string& text) {
  if (FCount == FCapacity) Grow();
  std::move_backward(FList.get() + index, FList.get() + FCount, FList.get() + FCount + 1);
  FList[index] = TStringItem{text, nullptr};
  ++FCount;
}

int TOpenStringList::Add(const std::string& text) {
  if (!FSorted) {
    InsertItem(FCount, text);
    return FCount - 1;
  }
  int index = 0;
  if (Find(text, index)) {
    if (FDuplicates == dupIgnore) return index;
    if (FDuplicates == dupError) throw EStringListError(S_DUPLICATE_STRING);
  }
  InsertItem(index, text);
  return index;
}

void TOpenStringList::Insert(int index, const std::string& text) {
  if (FSorted) RaiseSortedError();
  if (index < 0 || index > FCount) RaiseIndexError(index);
  InsertItem(index, text);
}

void TOpenStringList::Delete(int index) {
  CheckIndex(index);
  std::move(FList.get() + index + 1, FList.get() + FCount, FList.get() + index);
  --FCount;
  FList[FCount] = TStringItem{};
}

void TOpenStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(FList[index1], FList[index2]);
}

void TOpenStringList::Clear() {
  if (FCount == 0) return;
  FList.reset();
  FCount = FCapacity = 0;
}

int TOpenStringList::IndexOf(const std::string& text) const {
  if (FSorted) {
    int index = 0;
    return Find(text, index) ? index : -1;
  }
  for (int i = 0; i < FCount; ++i)
    if (SameIgnoringAsciiCase(FList[i].String, text)) return i;
  return -1;
}

bool TOpenStringList::Find(const std::string& text, int& index) const {
  int low = 0, high = FCount - 1;
  bool found = false;
  while (low <= high) {
    const int middle = static_cast<int>(static_cast<unsigned>(low + high) >> 1);
    const int order = FList[middle].String.compare(text);
    if (order < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (order == 0) {
        found = true;
        if (FDuplicates != dupAccept) low = middle;
      }
    }
  }
  index = low;
  return found;
}

void TOpenStringList::Sort() { CustomSort(CompareStrings); }

void TOpenStringList::CustomSort(TStringListSortCompare compare) {
  if (!FSorted && FCount > 1) QuickSort(0, FCount - 1, compare);
}

// The pivot is followed through the exchanges by its index, so it is compared against the
// same item throughout one partition.
void TOpenStringList::QuickSort(int left, int right, TStringListSortCompare compare) {
  int i = 0;
  do {
    i = left;
    int j = right;
    int pivot = static_cast<int>(static_cast<unsigned>(left + right) >> 1);
    do {
      while (compare(*this, i, pivot) < 0) ++i;
      while (compare(*this, j, pivot) > 0) --j;
      if (i <= j) {
        std::swap(FList[i], FList[j]);
        if (pivot == i) {
          pivot = j;
        } else if (pivot == j) {
          pivot = i;
        }
        ++i;
        --j;
      }
    } while (i <= j);
    if (left < j) QuickSort(left, j, compare);
    left = i;
  } while (i < right);
}

int32_t TStringIntegerList::GetInteger(int index) const {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(GetObject(index)));
}

void TStringIntegerList::AddInteger(const std::string& text, int32_t value) {
  PutObject(Add(text), reinterpret_cast<void*>(static_cast<intptr_t>(value)));
}
