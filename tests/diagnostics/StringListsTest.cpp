#include "diagnostics/StringLists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <vector>

#include "errors/Exceptions.h"
#include "tests/TestSupport.h"

namespace {

std::vector<std::string> Items(const TOpenStringList& list) {
  std::vector<std::string> items;
  for (int i = 0; i < list.Count(); ++i) items.push_back(list.Get(i));
  return items;
}

void* Ref(intptr_t value) { return reinterpret_cast<void*>(value); }

std::string RandomText(std::mt19937& random) {
  // Few letters, so that equal strings and proper prefixes are common; a high byte too.
  static const char letters[] = {'a', 'B', 'b', '\xE4'};
  std::string text(random() % 4, ' ');
  for (char& c : text) c = letters[random() % 4];
  return text;
}

TEST(StringLists, CapacityGrowsByTheFixedSteps) {
  TOpenStringList list;
  std::vector<int> capacities;
  for (int i = 0; i < 96; ++i) {
    list.Add(std::to_string(i));
    if (capacities.empty() || capacities.back() != list.Capacity()) capacities.push_back(list.Capacity());
  }
  EXPECT_EQ(capacities, (std::vector<int>{4, 8, 12, 28, 44, 60, 76, 95, 118}));
  EXPECT_EQ(list.Get(95), "95");

  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Capacity(), 0);
  list.SetCapacity(10);
  list.Clear();
  EXPECT_EQ(list.Capacity(), 10);
  list.Add("a");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.SetCapacity(0); }), "List index out of bounds (0)");
  EXPECT_EQ(list.Get(0), "a");
}

TEST(StringLists, UnsortedSearchFoldsAsciiCaseSortedSearchIsExact) {
  TOpenStringList unsorted, sorted;
  sorted.SetSorted(true);
  for (const char* text : {"B", "a", "A", "\xC4"}) {
    unsorted.Add(text);
    sorted.Add(text);
  }
  EXPECT_EQ(Items(unsorted), (std::vector<std::string>{"B", "a", "A", "\xC4"}));
  EXPECT_EQ(unsorted.IndexOf("b"), 0);
  EXPECT_EQ(unsorted.IndexOf("A"), 1);
  EXPECT_EQ(unsorted.IndexOf("\xE4"), -1);
  EXPECT_EQ(unsorted.IndexOf("BB"), -1);
  EXPECT_EQ(Items(sorted), (std::vector<std::string>{"A", "B", "a", "\xC4"}));
  EXPECT_EQ(sorted.IndexOf("b"), -1);
  EXPECT_EQ(sorted.IndexOf("a"), 2);
}

TEST(StringLists, SortedAddFollowsTheDuplicatesMode) {
  TStringIntegerList list;
  list.SetSorted(true);
  list.AddInteger("m", -7);
  list.AddInteger("c", 3);
  EXPECT_EQ(list.Add("m"), 1);
  EXPECT_EQ(list.Count(), 2);
  list.AddInteger("m", -2'000'000'000);
  EXPECT_EQ(list.GetInteger(1), -2'000'000'000);

  list.SetDuplicates(dupError);
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Add("c"); }), "String list does not allow duplicates");
  EXPECT_EQ(list.Count(), 2);

  list.SetDuplicates(dupAccept);
  list.AddInteger("m", 1);
  list.AddInteger("m", 2);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"c", "m", "m", "m"}));
  int index = -1;
  EXPECT_TRUE(list.Find("m", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("d", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(list.Find("mm", index));
  EXPECT_EQ(index, 4);
}

TEST(StringLists, PositionalEditsCheckSortingAndIndices) {
  TOpenStringList list;
  list.Add("x");
  list.Add("y");
  list.Insert(2, "z");
  list.Insert(0, "w");
  EXPECT_EQ(Items(list), (std::vector<std::string>{"w", "x", "y", "z"}));
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(5, "v"); }), "List index out of bounds (5)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Get(4); }), "List index out of bounds (4)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.GetObject(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Put(4, "v"); }), "List index out of bounds (4)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Delete(4); }), "List index out of bounds (4)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Exchange(0, 6); }), "List index out of bounds (6)");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Exchange(7, 6); }), "List index out of bounds (7)");
  EXPECT_EQ(list.Count(), 4);

  list.PutObject(0, Ref(10));
  list.PutObject(3, Ref(13));
  list.Exchange(0, 3);
  EXPECT_EQ(list.Get(0), "z");
  EXPECT_EQ(list.GetObject(0), Ref(13));
  EXPECT_EQ(list.GetObject(3), Ref(10));
  list.Delete(1);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"z", "y", "w"}));
  EXPECT_EQ(list.GetObject(2), Ref(10));

  list.SetSorted(true);
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(99, "v"); }), "Operation not allowed on sorted string list");
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Put(99, "v"); }), "Operation not allowed on sorted string list");
  list.PutObject(1, Ref(11));
  EXPECT_EQ(list.GetObject(1), Ref(11));
}

TEST(StringLists, SetCountTrimsFromTheEndAndGrowsWithEmptyItems) {
  TOpenStringList list;
  for (const char* text : {"a", "b", "c", "d", "e"}) list.Add(text);
  list.PutObject(4, Ref(4));
  list.SetCount(2);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b"}));
  // The slots given back must not show their old items.
  list.SetCount(6);
  EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "", "", "", ""}));
  EXPECT_EQ(list.GetObject(4), nullptr);
  EXPECT_EQ(list.Capacity(), 8);
  list.SetCount(9);
  EXPECT_EQ(list.Capacity(), 9);
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.SetCount(-1); }), "List index out of bounds (-1)");
  EXPECT_EQ(list.Count(), 9);
}

TEST(StringLists, SortOrdersByBytesAndCarriesTheReferences) {
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    TOpenStringList list;
    std::vector<std::string> expected;
    for (int i = 0, n = random() % 40; i < n; ++i) {
      expected.push_back(RandomText(random));
      list.Add(expected.back());
      list.PutObject(i, Ref(i));
    }
    const std::vector<std::string> original = expected;
    list.Sort();
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(Items(list), expected);
    for (int i = 0; i < list.Count(); ++i)
      EXPECT_EQ(original[reinterpret_cast<intptr_t>(list.GetObject(i))], list.Get(i));
  }

  TOpenStringList list;
  for (const char* text : {"b", "c", "a"}) list.Add(text);
  list.CustomSort([](const TOpenStringList& l, int i, int j) { return l.Get(j).compare(l.Get(i)); });
  EXPECT_EQ(Items(list), (std::vector<std::string>{"c", "b", "a"}));
  list.SetSorted(true);
  list.Sort();
  EXPECT_EQ(Items(list), (std::vector<std::string>{"c", "b", "a"}));
}

TEST(StringLists, SortedAddKeepsTheOrderAndFindReportsInsertionPoints) {
  std::mt19937 random(11);
  for (TDuplicates mode : {dupIgnore, dupAccept}) {
    TOpenStringList list;
    list.SetSorted(true);
    list.SetDuplicates(mode);
    std::vector<std::string> expected;
    for (int i = 0; i < 300; ++i) {
      const std::string text = RandomText(random);
      const auto position = std::lower_bound(expected.begin(), expected.end(), text);
      const bool present = position != expected.end() && *position == text;
      int index = -1;
      ASSERT_EQ(list.Find(text, index), present);
      if (!present || mode == dupAccept) {
        EXPECT_EQ(index, position - expected.begin());
        expected.insert(position, text);
      }
      list.Add(text);
      ASSERT_EQ(Items(list), expected);
    }
  }
}

}  // namespace
