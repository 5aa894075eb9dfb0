#include "archive_bytes.h"

#include "platform/mfc-core/array.h"
#include "platform/mfc-core/list.h"
#include "platform/mfc-core/map.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace testing_mfc;

bool ThrowsInvalidArg(const std::function<void()>& action)
{
  try {
    action();
  } catch (CInvalidArgException* e) {
    e->Delete();
    return true;
  }
  return false;
}

std::vector<int> Items(const CArray<int>& a) { return std::vector<int>(a.begin(), a.end()); }

std::vector<int> Items(const CList<int>& l)
{
  std::vector<int> out;
  for (POSITION pos = l.GetHeadPosition(); pos != nullptr;) {
    out.push_back(l.GetNext(pos));
  }
  return out;
}

TEST(Collections, OutOfRangeAccessThrows)
{
  CArray<int> array;
  array.Add(1);
  array.Add(2);
  CList<int> emptyList;
  CMap<int, int, int, int> map;
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"array GetAt(-1)", [&] { array.GetAt(-1); }},
      {"array GetAt(size)", [&] { array.GetAt(2); }},
      {"array SetAt(size)", [&] { array.SetAt(2, 0); }},
      {"array ElementAt(size)", [&] { array.ElementAt(2); }},
      {"array operator[](size)", [&] { array[2] = 0; }},
      {"array RemoveAt(size)", [&] { array.RemoveAt(2); }},
      {"array RemoveAt past the end", [&] { array.RemoveAt(1, 2); }},
      {"array SetSize(-1)", [&] { array.SetSize(-1); }},
      {"array InsertAt(-1)", [&] { array.InsertAt(-1, 0); }},
      {"list GetHead of empty", [&] { emptyList.GetHead(); }},
      {"list RemoveHead of empty", [&] { emptyList.RemoveHead(); }},
      {"list RemoveTail of empty", [&] { emptyList.RemoveTail(); }},
      {"list GetNext(null)", [&] {
         POSITION pos = nullptr;
         emptyList.GetNext(pos);
       }},
      {"list GetAt(null)", [&] { emptyList.GetAt(nullptr); }},
      {"map GetNextAssoc(null)", [&] {
         POSITION pos = nullptr;
         int k, v;
         map.GetNextAssoc(pos, k, v);
       }},
  };
  for (const auto& [what, action] : cases) {
    EXPECT_TRUE(ThrowsInvalidArg(action)) << what;
  }
  EXPECT_EQ(Items(array), (std::vector<int>{1, 2}));  // the failed calls changed nothing
}

TEST(Collections, ArrayEditing)
{
  CArray<int> a;
  a.SetSize(3);
  EXPECT_EQ(Items(a), (std::vector<int>{0, 0, 0}));  // new elements are zero
  a[1] = 5;
  a.InsertAt(1, 9, 2);
  EXPECT_EQ(Items(a), (std::vector<int>{0, 9, 9, 5, 0}));
  a.RemoveAt(0, 2);
  EXPECT_EQ(Items(a), (std::vector<int>{9, 5, 0}));
  a.SetAtGrow(5, 7);
  EXPECT_EQ(Items(a), (std::vector<int>{9, 5, 0, 0, 0, 7}));
  a.InsertAt(8, 1);  // beyond the end: grows
  EXPECT_EQ(a.GetSize(), 9);
  EXPECT_EQ(a.GetUpperBound(), 8);
  a.Add(a[0]);  // an element of the array itself, through a reference that moves when the array grows
  EXPECT_EQ(a[9], 9);

  CArray<int> b;
  b.Copy(a);
  EXPECT_EQ(Items(b), Items(a));
  EXPECT_EQ(b.Append(a), 10);
  EXPECT_EQ(b.GetSize(), 20);
  b.RemoveAll();
  EXPECT_TRUE(b.IsEmpty());

  CStringArray names;
  names.Add("один");
  names.InsertAt(0, CString("ноль"));
  EXPECT_TRUE(names[0] == "ноль");
  EXPECT_TRUE(names[1] == "один");

  CTypedPtrArray<CPtrArray, int*> pointers;
  int x = 3;
  pointers.Add(&x);
  EXPECT_EQ(*pointers[0], 3);
}

TEST(Collections, ListWalkingAndEditing)
{
  CList<int> l;
  l.AddTail(2);
  l.AddTail(4);
  l.AddHead(1);
  POSITION four = l.Find(4);
  ASSERT_NE(four, nullptr);
  l.InsertBefore(four, 3);
  l.InsertAfter(four, 5);
  EXPECT_EQ(Items(l), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(l.GetAt(l.FindIndex(2)), 3);
  EXPECT_EQ(l.FindIndex(5), nullptr);
  EXPECT_EQ(l.Find(4, four), nullptr);

  // Removing the element just passed while walking, as the program's loops do.
  for (POSITION pos = l.GetHeadPosition(); pos != nullptr;) {
    POSITION current = pos;
    if (l.GetNext(pos) % 2 == 0) {
      l.RemoveAt(current);
    }
  }
  EXPECT_EQ(Items(l), (std::vector<int>{1, 3, 5}));

  std::vector<int> backwards;
  for (POSITION pos = l.GetTailPosition(); pos != nullptr;) {
    backwards.push_back(l.GetPrev(pos));
  }
  EXPECT_EQ(backwards, (std::vector<int>{5, 3, 1}));
  EXPECT_EQ(l.RemoveHead(), 1);
  EXPECT_EQ(l.RemoveTail(), 5);
  EXPECT_EQ(l.GetCount(), 1);

  CList<int> other;
  other.AddTail(8);
  other.AddTail(9);
  l.AddHead(&other);
  l.AddTail(&other);
  EXPECT_EQ(Items(l), (std::vector<int>{8, 9, 3, 8, 9}));
}

TEST(Collections, MapLookupRemoveAndWalk)
{
  CMap<int, int, CString, const CString&> map;
  for (int i = 0; i < 100; ++i) {
    CString value;
    value.Format("v%d", i);
    map.SetAt(i * 16, value);  // keys alike in their low bits
  }
  EXPECT_EQ(map.GetCount(), 100);
  CString found;
  EXPECT_TRUE(map.Lookup(32, found));
  EXPECT_TRUE(found == "v2");
  EXPECT_FALSE(map.Lookup(33, found));
  map[32] = "changed";
  EXPECT_TRUE(map.Lookup(32, found));
  EXPECT_TRUE(found == "changed");
  EXPECT_TRUE(map.RemoveKey(32));
  EXPECT_FALSE(map.RemoveKey(32));

  // Every entry once, and the entry just returned may be removed during the walk.
  std::set<int> seen;
  POSITION pos = map.GetStartPosition();
  while (pos != nullptr) {
    int key;
    CString value;
    map.GetNextAssoc(pos, key, value);
    EXPECT_TRUE(seen.insert(key).second);
    if (key % 32 == 0) {
      map.RemoveKey(key);
    }
  }
  EXPECT_EQ(seen.size(), 99u);
  EXPECT_EQ(map.GetCount(), 50);

  CMapStringToString strings;
  strings["Ключ"] = "Значение";
  CString value;
  EXPECT_TRUE(strings.Lookup("Ключ", value));
  EXPECT_TRUE(value == "Значение");
  EXPECT_FALSE(strings.Lookup("ключ", value));  // keys are exact

  CMapStringToPtr pointers;
  int target = 0;
  pointers.SetAt("t", &target);
  void* p = nullptr;
  EXPECT_TRUE(pointers.Lookup("t", p));
  EXPECT_EQ(p, &target);
}

TEST(Collections, ListsAndMapsSerialiseACountThenTheirElements)
{
  CStringList list;
  list.AddTail("a");
  list.AddTail("bc");
  const Bytes listBytes = Hex("02 00 01 61 02 62 63");
  EXPECT_EQ(Stored([&](CArchive& ar) { list.Serialize(ar); }), listBytes);
  LoadFrom(listBytes, [](CArchive& ar) {
    CStringList loaded;
    loaded.Serialize(ar);
    ASSERT_EQ(loaded.GetCount(), 2);
    EXPECT_TRUE(loaded.GetTail() == "bc");
  });

  CMap<WORD, WORD, DWORD, DWORD> map;
  map.SetAt(7, 0x01020304);
  EXPECT_EQ(Stored([&](CArchive& ar) { map.Serialize(ar); }), Hex("01 00  07 00  04 03 02 01"));
  LoadFrom(Hex("02 00  07 00 04 03 02 01  08 00 00 00 00 00"), [](CArchive& ar) {
    CMap<WORD, WORD, DWORD, DWORD> loaded;
    loaded.Serialize(ar);
    DWORD v = 1;
    EXPECT_EQ(loaded.GetCount(), 2);
    EXPECT_TRUE(loaded.Lookup(8, v));
    EXPECT_EQ(v, 0u);
  });
}

}  // namespace
