#include "registry/TIconList.h"

#include <gtest/gtest.h>

namespace cvl {
namespace {

TIconInfo Icon(const std::string& path, const std::string& cls, std::uint32_t id, Hwnd wnd = 1) {
  TIconInfo r;
  r.ExePath = path;
  r.ClassName = cls;
  r.uID = id;
  r.hWnd = wnd;
  return r;
}

TEST(TIconList, DuplicateIsSamePathClassAndIdWhateverTheOwnerWindow) {
  TIconList list;
  EXPECT_EQ(list.Add(Icon("C:\\a.exe", "A", 1, 10)), 1);
  EXPECT_EQ(list.Add(Icon("C:\\a.exe", "A", 1, 99)), -1);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0].hWnd, 10u);
  // Differing only in uID, class or letter case of the path: separate icons.
  EXPECT_EQ(list.Add(Icon("C:\\a.exe", "A", 2)), 2);
  EXPECT_EQ(list.Add(Icon("C:\\a.exe", "B", 1)), 3);
  EXPECT_EQ(list.Add(Icon("C:\\A.EXE", "A", 1)), 4);
  // The path and class cannot run into each other.
  EXPECT_EQ(list.Add(Icon("C:\\a.exeA", "", 1)), 5);
}

TEST(TIconList, DeleteKeepsOrderAndTheIndex) {
  TIconList list;
  for (std::uint32_t i = 1; i <= 4; ++i) list.Add(Icon("p", "c", i));
  EXPECT_EQ(list.Delete(2), 2);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0].uID, 1u);
  EXPECT_EQ(list[1].uID, 3u);
  EXPECT_EQ(list[2].uID, 4u);
  EXPECT_FALSE(list.Contains(Icon("p", "c", 2)));
  EXPECT_EQ(list.Add(Icon("p", "c", 2)), 4);  // may come back after removal

  EXPECT_EQ(list.Delete(4), 4);  // the last
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Delete(0), 0);  // outside the range: nothing happens
  EXPECT_EQ(list.Delete(9), 9);
  EXPECT_EQ(list.Count(), 3);

  TIconList one;
  one.Add(Icon("p", "c", 7));
  EXPECT_EQ(one.Delete(1), 1);
  EXPECT_EQ(one.Count(), 0);
  EXPECT_EQ(one.Add(Icon("p", "c", 7)), 1);
}

TEST(TIconList, ClearReturnsTheCountBefore) {
  TIconList list;
  EXPECT_EQ(list.Clear(), 0);
  list.Add(Icon("p", "c", 1));
  list.Add(Icon("p", "c", 2));
  EXPECT_EQ(list.Clear(), 2);
  EXPECT_FALSE(list.Contains(Icon("p", "c", 1)));
}

TEST(IconPlace, TheTwoNumberingsConvert) {
  EXPECT_EQ(PlaceFromOption(1), IconPlace::Tray);
  EXPECT_EQ(PlaceFromOption(2), IconPlace::Panel);
  EXPECT_EQ(PlaceFromOption(3), IconPlace::Menu);
  EXPECT_FALSE(PlaceFromOption(0));
  EXPECT_FALSE(PlaceFromOption(4));
  for (const IconPlace p : {IconPlace::Tray, IconPlace::Panel, IconPlace::Menu})
    EXPECT_EQ(PlaceFromOption(OptionFromPlace(p)), p);
  EXPECT_EQ(static_cast<int>(IconPlace::Menu), 2);
  EXPECT_EQ(static_cast<int>(IconPlace::Panel), 3);
}

}  // namespace
}  // namespace cvl
