// Windows 98 and ME with a taskbar whose icons are buttons of a toolbar, under a SysPager or
// straight under the notification area, and with none: Corvalet places the icons, remembers a
// new program, takes the tray again after a shell restart and hands everything back at exit.
#include <gtest/gtest.h>

#include <ostream>

#include "World.h"
#include "registry/OwnIcon.h"

namespace cvl::test {
namespace {

struct NineXCase {
  const char* name;
  OsVersionInfo version;
  int tree;  // 90: toolbar under SysPager, 80: straight under, 30: no toolbar
};

void PrintTo(const NineXCase& c, std::ostream* os) {
  *os << c.name;
}

constexpr OsVersionInfo kWin98{4, 10, 2222, 1};
constexpr OsVersionInfo kWinMe{4, 90, 3000, 1};

class NineXTray : public ::testing::TestWithParam<NineXCase> {};

TEST_P(NineXTray, PlacesRemembersSurvivesARestartAndHandsBackAtExit) {
  const NineXCase c = GetParam();
  World w(c.version, c.tree);
  w.SetIni(std::string("[Common]\r\nApStyle=2\r\n") + kAInPanel +
           "[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\b.exe\r\nID_0=BWnd\r\n");
  sim::SimProgram& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  sim::SimProgram& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  a.AddIcon(1, "a");
  b.AddIcon(1, "b");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(w.corvalet->Form().Shell().Toolbar, w.taskbar->Toolbar());

  EXPECT_TRUE(w.Hidden(a, 1)) << "remembered in the panel";
  EXPECT_TRUE(w.Hidden(b, 1)) << "remembered in the menu";
  EXPECT_EQ(w.Registry().PanelList.Count(), 1);
  EXPECT_EQ(w.Registry().MenuList.Count(), 1);

  sim::SimProgram& d = w.Program("C:\\Apps\\d.exe", "DWnd");
  d.AddIcon(1, "d");
  w.Pump();
  EXPECT_TRUE(w.Hidden(d, 1)) << "a new icon follows ApStyle";
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "2");
  EXPECT_EQ(w.IniValue("Panel items", "IM_1"), "C:\\Apps\\d.exe");
  EXPECT_EQ(w.IniValue("Panel items", "ID_1"), "DWnd");

  w.RestartShell();
  for (sim::SimProgram* p : {&a, &b, &d}) p->AddIcon(1, "again");
  w.Pump();
  EXPECT_EQ(w.corvalet->Form().Shell().Toolbar, w.taskbar->Toolbar()) << "the new shell's";
  EXPECT_TRUE(w.Hidden(a, 1));
  EXPECT_TRUE(w.Hidden(b, 1));
  EXPECT_TRUE(w.Hidden(d, 1));
  EXPECT_TRUE(w.taskbar->Button(w.corvalet->Host().window, kOwnIconId).has_value());

  w.corvalet->Exit();
  for (const auto& button : w.taskbar->Buttons()) EXPECT_FALSE(button.hidden);
  EXPECT_EQ(w.taskbar->Buttons().size(), 3u) << "Corvalet's own icon left with it";
  EXPECT_FALSE(w.hook->Installed());
}

INSTANTIATE_TEST_SUITE_P(Trays, NineXTray,
                         ::testing::Values(NineXCase{"Win98_SysPager", kWin98, 90},
                                           NineXCase{"Win98_Toolbar", kWin98, 80},
                                           NineXCase{"Win98_NoToolbar", kWin98, 30},
                                           NineXCase{"WinMe_SysPager", kWinMe, 90},
                                           NineXCase{"WinMe_Toolbar", kWinMe, 80},
                                           NineXCase{"WinMe_NoToolbar", kWinMe, 30}),
                         [](const ::testing::TestParamInfo<NineXCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace cvl::test
