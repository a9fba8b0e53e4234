#pragma once
// TOpenStringList: a lean list of (string, object reference) pairs with its own storage,
// binary search and sort, and no change notifications. TStringIntegerList reads the
// reference as a signed 32-bit integer.

#include <cstdint>
#include <memory>
#include <string>

// What adding a string that is already present does to a sorted list.
enum TDuplicates : uint8_t { dupIgnore = 0, dupAccept = 1, dupError = 2 };

class TOpenStringList;
// Negative, zero or positive as item index1 sorts before, with or after item index2.
using TStringListSortCompare = int (*)(const TOpenStringList& list, int index1, int index2);

class TOpenStringList {
 public:
  TOpenStringList() = default;
  virtual ~TOpenStringList() = default;
  TOpenStringList(const TOpenStringList&) = delete;
  TOpenStringList& operator=(const TOpenStringList&) = delete;

  const std::string& Get(int index) const;
  void* GetObject(int index) const;
  // Refused on a sorted list, whose order it could break.
  void Put(int index, const std::string& text);
  void PutObject(int index, void* object);

  int Count() const noexcept { return FCount; }
  int Capacity() const noexcept { return FCapacity; }
  // Capacity 0 releases the storage; a capacity below Count is refused.
  void SetCapacity(int capacity);
  // Grows with empty items and null references, or deletes items from the end.
  void SetCount(int count);

  // Unsorted: appends. Sorted: inserts in order, or by the duplicates mode when present.
  int Add(const std::string& text);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  void Exchange(int index1, int index2);
  // Releases every item and the storage; an empty list keeps its capacity.
  void Clear();

  // Unsorted: the first item equal ignoring ASCII case (a fold independent of any locale).
  // Sorted: Find, which compares exactly. -1 when absent.
  int IndexOf(const std::string& text) const;
  // Binary search by byte order (a proper prefix first). True when found; index is then
  // the item met (the first of equal items in mode dupAccept), otherwise the position that
  // keeps the order.
  bool Find(const std::string& text, int& index) const;
  // Quicksort by byte order, not stable; nothing happens on a list marked sorted.
  void Sort();
  void CustomSort(TStringListSortCompare compare);

  // Plain settings for the owner to choose before use; marking a list sorted does not sort it.
  bool Sorted() const noexcept { return FSorted; }
  void SetSorted(bool sorted) noexcept { FSorted = sorted; }
  TDuplicates Duplicates() const noexcept { return FDuplicates; }
  void SetDuplicates(TDuplicates duplicates) noexcept { FDuplicates = duplicates; }

 private:
  struct TStringItem {
    std::string String;
    void* Object = nullptr;
  };

  void CheckIndex(int index) const;
  void Grow();
  void InsertItem(int index, const std::string& text);
  void QuickSort(int left, int right, TStringListSortCompare compare);

  std::unique_ptr<TStringItem[]> FList;
  int FCount = 0;
  int FCapacity = 0;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
};

class TStringIntegerList : public TOpenStringList {
 public:
  int32_t GetInteger(int index) const;
  // In a sorted list in mode dupIgnore an equal item takes the new value.
  void AddInteger(const std::string& text, int32_t value);
};
