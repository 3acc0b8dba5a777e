// The memory of each program's place, through the settings file and whole flows.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl {
inline void PrintTo(const MemoryEntry& e, std::ostream* os) {
  *os << e.ExePath << '|' << e.ClassName;
}
}  // namespace cvl

namespace cvl::test {
namespace {

TEST(PlacementMemory, FirstStartWithoutAFile) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  EXPECT_EQ(
      r.Memory.PanelMemory.Count() + r.Memory.MenuMemory.Count() + r.Memory.TrayMemory.Count(), 0);
  EXPECT_EQ(PlaceOf(r, "a"), IconPlace::Unplaced);
  EXPECT_FALSE(w.Hidden(a, 1));

  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  b.AddIcon(5, "b");
  w.Pump();
  EXPECT_EQ(PlaceOf(r, "b"), IconPlace::Tray);  // ApStyle 1
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "0");
  EXPECT_EQ(w.IniValue("Menu items", "Count"), "0");
  EXPECT_EQ(w.IniValue("Tray items", "Count"), "1");
  EXPECT_EQ(w.IniValue("Tray items", "IM_0"), "C:\\Apps\\b.exe");
  EXPECT_EQ(w.IniValue("Tray items", "ID_0"), "BWnd");
  EXPECT_EQ(r.NewIconWnd, 0u);
  // Sections in their order, after the settings.
  const std::string ini = w.Ini();
  EXPECT_LT(ini.find("[MinOptions]"), ini.find("[Panel items]"));
  EXPECT_LT(ini.find("[Panel items]"), ini.find("[Menu items]"));
  EXPECT_LT(ini.find("[Menu items]"), ini.find("[Tray items]"));
}

TEST(PlacementMemory, ACountOutOfRangeIsReadToTenThousandEntriesOrNone) {
  World w;
  w.SetIni(
      "[Panel items]\r\nCount=2147483647\r\nIM_0=\"C:\\Apps\\a.exe\"\r\n"
      "[Menu items]\r\nCount=-3\r\nIM_0=\"C:\\Apps\\b.exe\"\r\n[Tray items]\r\nCount=10001\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  const TrayRegistry& r = w.Registry();
  EXPECT_EQ(r.Memory.PanelMemory.Count(), 10000);
  EXPECT_EQ(r.Memory.PanelMemory.Entries()[0].ExePath, "C:\\Apps\\a.exe");
  EXPECT_EQ(r.Memory.MenuMemory.Count(), 0);
  EXPECT_EQ(r.Memory.TrayMemory.Count(), 10000);
}

TEST(PlacementMemory, ANewIconWritesOnlyWhatChangedAndAFileRemovedMeanwhileIsWrittenWhole) {
  World w;
  // Quoted as no save here writes them: a line rewritten loses its quotes.
  w.SetIni(
      "[Common]\r\nApStyle=2\r\n[Panel items]\r\nCount=1\r\nIM_0=\"C:\\Apps\\a.exe\"\r\n"
      "ID_0=\"AWnd\"\r\n[Menu items]\r\nCount=0\r\n[Tray items]\r\nCount=0\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  w.Pump();
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "2");
  EXPECT_NE(w.Ini().find("IM_0=\"C:\\Apps\\a.exe\""), std::string::npos) << w.Ini();
  EXPECT_NE(w.Ini().find("ID_0=\"AWnd\""), std::string::npos);
  EXPECT_EQ(w.IniValue("Panel items", "IM_1"), "C:\\Apps\\b.exe");

  // Gone behind Corvalet's back: the next save writes every key again.
  w.desktop.Profile().RemoveFile("QLCvl.ini");
  w.Program("C:\\Apps\\c.exe", "CWnd").AddIcon(1, "c");
  w.Pump();
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "3");
  std::set<std::string> programs;
  for (int i = 0; i < 3; ++i) programs.insert(w.IniValue("Panel items", "IM_" + std::to_string(i)));
  EXPECT_EQ(programs,
            (std::set<std::string>{"C:\\Apps\\a.exe", "C:\\Apps\\b.exe", "C:\\Apps\\c.exe"}));
  EXPECT_EQ(w.IniValue("Menu items", "Count"), "0");
  EXPECT_EQ(w.IniValue("Tray items", "Count"), "0");

  // The same program with another window class in the same place is a change too.
  PlacementMemory& m = w.Registry().Memory;
  m.MenuMemory.Assign({{"C:\\Apps\\x.exe", "XOne"}});
  m.SavePlacementMemory();
  m.MenuMemory.Assign({{"C:\\Apps\\x.exe", "XTwo"}});
  m.SavePlacementMemory();
  EXPECT_EQ(w.IniValue("Menu items", "ID_0"), "XTwo");
}

TEST(PlacementMemory, ANewIconIsHiddenBeforeItsPlaceIsWritten) {
  World w;
  w.SetIni("[Common]\r\nApStyle=2\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  // What the file says at the moment the shell is told to hide a button.
  std::vector<bool> atHide;
  const Hwnd toolbar = w.taskbar->Toolbar();
  w.desktop.Subclass(toolbar, [&, old = w.desktop.Window(toolbar)->handler](std::uint32_t m,
                                                                            WParam wp, LParam lp) {
    if (m == kTbHideButton && lp == kTbHide)
      atHide.push_back(w.Ini().find("b.exe") != std::string::npos);
    return old(m, wp, lp);
  });
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  w.Pump();
  EXPECT_EQ(atHide, std::vector<bool>{false});
  EXPECT_EQ(w.IniValue("Panel items", "IM_0"), "C:\\Apps\\b.exe");
}

TEST(PlacementMemory, NewIconsFollowApStyle) {
  for (const auto& [style, place] : {std::pair{2, IconPlace::Panel}, std::pair{3, IconPlace::Menu},
                                     std::pair{7, IconPlace::Unplaced}}) {
    World w;
    w.SetIni("[Common]\r\nApStyle=" + std::to_string(style) + "\r\n");
    ASSERT_TRUE(w.corvalet->Start());
    auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
    a.AddIcon(1, "a");
    w.Pump();
    EXPECT_EQ(PlaceOf(w.Registry(), "a"), place) << style;
    EXPECT_EQ(w.Hidden(a, 1), place == IconPlace::Panel || place == IconPlace::Menu);
  }
}

TEST(PlacementMemory, ARestartedProgramGoesBackToThePanel) {
  World w;
  w.SetIni(kAInPanel);
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_TRUE(w.Hidden(a, 1));
  a.Restart();  // a crash: the icon is gone without a delete
  a.AddIcon(2, "a again");
  w.Pump();
  EXPECT_EQ(PlaceOf(w.Registry(), "a again"), IconPlace::Panel);
  EXPECT_TRUE(w.Hidden(a, 2));
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "1");
}

TEST(PlacementMemory, PathsMatchCaseSensitively) {
  World w;
  w.SetIni("[Menu items]\r\nCount=1\r\nIM_0=C:\\APPS\\A.EXE\r\nID_0=AWnd\r\n");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(PlaceOf(w.Registry(), "a"), IconPlace::Unplaced);
}

TEST(PlacementMemory, TwoProgramsWithOneIdentityShareOnePlace) {
  World w;
  w.SetIni("[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a1");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(2, "a2");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(PlaceOf(w.Registry(), "a1"), IconPlace::Menu);
  EXPECT_EQ(PlaceOf(w.Registry(), "a2"), IconPlace::Menu);
  EXPECT_EQ(w.Registry().MenuList.Count(), 2);
}

TEST(PlacementMemory, AHandEditedPairInTwoSectionsGoesToTheMenuAndIsTidiedOnSave) {
  World w;
  w.SetIni(
      "[Tray items]\r\nCount=2\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\nIM_1=C:\\x.exe\r\nID_1=X\r\n"
      "[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(PlaceOf(w.Registry(), "a"), IconPlace::Menu);
  w.Registry().Memory.SavePlacementMemory();
  EXPECT_EQ(w.IniValue("Tray items", "Count"), "1");
  EXPECT_EQ(w.IniValue("Tray items", "IM_0"), "C:\\x.exe");  // the unknown program stays
  // The old last keys stay past the count, and are ignored.
  EXPECT_EQ(w.IniValue("Tray items", "IM_1"), "C:\\x.exe");
  EXPECT_EQ(w.IniValue("Menu items", "Count"), "1");
}

TEST(PlacementMemory, MovingOutOfTheMenuShrinksTheMenuSection) {
  const std::string a = "C:\\Apps\\a.exe", b = "C:\\b.exe";
  // A hand-edited menu may repeat a pair: each update takes out the first equal entry only.
  for (const auto& [to, section, menu] :
       {std::tuple{IconPlace::Tray, "Tray items", std::vector{a, b}},
        std::tuple{IconPlace::Panel, "Panel items", std::vector{a, b}},
        std::tuple{IconPlace::Tray, "Tray items", std::vector{a, b, a}}}) {
    SCOPED_TRACE(section + std::to_string(menu.size()));
    World w;
    std::string ini = "[Menu items]\r\nCount=" + std::to_string(menu.size()) + "\r\n";
    std::vector<MemoryEntry> kept;
    for (std::size_t i = 0; i < menu.size(); ++i) {
      const std::string id = menu[i] == a ? "AWnd" : "B";
      ini += "IM_" + std::to_string(i) + "=" + menu[i] + "\r\nID_" + std::to_string(i) + "=" + id +
             "\r\n";
      if (i > 0) kept.push_back({menu[i], id});
    }
    w.SetIni(ini);
    w.Program(a, "AWnd").AddIcon(1, "a");
    ASSERT_TRUE(w.corvalet->Start());
    TrayRegistry& r = w.Registry();
    for (int i = 0; i < r.ListView1.RowCount(); ++i)
      if (r.ListView1.Rows[static_cast<std::size_t>(i)].Caption == "a")
        r.ListView1.SetSelected(i, true);
    r.ListView1.CheckRadio(to);
    EXPECT_EQ(r.Memory.MenuMemory.Entries(), kept);
    r.Memory.SavePlacementMemory();  // what OK does
    EXPECT_EQ(w.IniValue(section, "Count"), "1");
    EXPECT_EQ(w.IniValue(section, "IM_0"), a);
    EXPECT_EQ(w.IniValue("Menu items", "Count"), "1");
    EXPECT_EQ(w.IniValue("Menu items", "IM_0"), b);
    EXPECT_EQ(w.IniValue("Menu items", "IM_1"), b);  // past the count, unread
  }
}

TEST(PlacementMemory, CountsReadAsIntegers) {
  World w;
  w.SetIni(
      "[Panel items]\r\nCount=-3\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n"
      "[Menu items]\r\nCount=0x1\r\nIM_0=C:\\Apps\\b.exe\r\nID_0=BWnd\r\n"
      "[Tray items]\r\nCount=lots\r\nIM_0=C:\\Apps\\c.exe\r\nID_0=CWnd\r\n");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  EXPECT_EQ(r.Memory.PanelMemory.Count(),
            0);  // a negative count is an empty memory, and the rest loads
  EXPECT_EQ(r.Memory.MenuMemory.Count(), 1);
  EXPECT_EQ(r.Memory.TrayMemory.Count(), 0);
  EXPECT_EQ(PlaceOf(r, "a"), IconPlace::Unplaced);
  EXPECT_EQ(PlaceOf(r, "b"), IconPlace::Menu);
}

TEST(PlacementMemory, MissingKeysAreEmptyPairs) {
  World w;
  w.SetIni("[Tray items]\r\nCount=2\r\nIM_0=C:\\Apps\\a.exe\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  ASSERT_EQ(w.Registry().Memory.TrayMemory.Count(), 2);
  EXPECT_EQ(w.Registry().Memory.TrayMemory.Entries()[0], (MemoryEntry{"C:\\Apps\\a.exe", ""}));
  EXPECT_EQ(w.Registry().Memory.TrayMemory.Entries()[1], (MemoryEntry{"", ""}));
}

TEST(PlacementMemory, AnAddNoReadingHeldIsPlacedByTheReadingThatHoldsIt) {
  World w;
  w.SetIni("[Common]\r\nApStyle=2\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  a.AddIcon(1, "a");
  w.hook->AnswerMode = sim::SimHook::Answer::Never;  // the shell takes the request, answers none
  w.Pump();
  w.hook->AnswerMode = sim::SimHook::Answer::Batched;
  a.DeleteIcon(1);
  w.Pump();                // a whole reading, without a's icon
  a.AddIcon(1, "a back");  // its report lost: the add before it is still kept
  w.desktop.TakePostedMessage(w.corvalet->Host().window, THM_ICONADDED, THM_ICONADDED);
  b.AddIcon(1, "b");
  w.Pump();  // b's add alone: the reading holds a's icon too
  EXPECT_EQ(PlaceOf(w.Registry(), "b"), IconPlace::Panel);
  EXPECT_EQ(PlaceOf(w.Registry(), "a back"), IconPlace::Panel);
  EXPECT_NE(w.Ini().find("a.exe"), std::string::npos);
}

TEST(PlacementMemory, AThousandIconsAgainstAThousandPrograms) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  std::vector<MemoryEntry> entries;
  for (int i = 0; i < 1000; ++i) entries.push_back({"C:\\m" + std::to_string(i) + ".exe", "W"});
  r.Memory.PanelMemory.Assign(entries);
  for (int i = 0; i < 1000; ++i) {
    TIconInfo icon;
    icon.ExePath = "C:\\m" + std::to_string(i * 2) + ".exe";
    icon.ClassName = "W";
    icon.uID = static_cast<std::uint32_t>(i);
    r.AllIcons.Add(icon);
  }
  r.Memory.ApplyPlacementMemory();
  int inPanel = 0;
  for (const TIconInfo& i : r.AllIcons) inPanel += i.Place == IconPlace::Panel;
  EXPECT_EQ(inPanel, 500);
}

}  // namespace
}  // namespace cvl::test

namespace cvl::test {
namespace {

TEST(PlacementMemory, AnUnwritableFileIsReportedOnceAndPlacementGoesOn) {
  World w;
  w.SetIni("[Common]\r\nApStyle=2\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  auto& errors = w.corvalet->Host().errors;
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);

  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  w.Pump();
  EXPECT_EQ(PlaceOf(r, "a"), IconPlace::Panel);
  EXPECT_TRUE(w.Hidden(a, 1));
  EXPECT_FALSE(r.NewIconPending());
  EXPECT_EQ(errors.size(), 1u);

  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  b.AddIcon(1, "b");
  w.Pump();
  EXPECT_TRUE(w.Hidden(b, 1));
  EXPECT_EQ(errors.size(), 1u);  // once, not once per change
  EXPECT_EQ(r.Memory.PanelMemory.Count(), 2);

  // The next save that succeeds writes what was kept in memory.
  w.desktop.Profile().SetReadOnly("QLCvl.ini", false);
  w.Program("C:\\Apps\\c.exe", "CWnd").AddIcon(1, "c");
  w.Pump();
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "3");
  EXPECT_EQ(w.IniValue("Panel items", "IM_0"), "C:\\Apps\\a.exe");

  // A refusal after a success is reported again.
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  w.Program("C:\\Apps\\d.exe", "DWnd").AddIcon(1, "d");
  w.Pump();
  EXPECT_EQ(errors.size(), 2u);
}

}  // namespace
}  // namespace cvl::test
