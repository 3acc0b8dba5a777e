// Placing icons: the place lists, the buttons' visibility, the dialog's commands and the
// refresh of the own icon.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

int RowOf(TrayRegistry& r, const std::string& tip) {
  for (int i = 0; i < r.ListView1.RowCount(); ++i)
    if (r.ListView1.Rows[static_cast<std::size_t>(i)].Caption == tip) return i;
  return -1;
}

struct ThreeIcons : ::testing::Test {
  World w;
  sim::SimProgram* a;
  sim::SimProgram* b;
  sim::SimProgram* c;
  void SetUp() override {
    a = &w.Program("C:\\Apps\\a.exe", "AWnd");
    b = &w.Program("C:\\Apps\\b.exe", "BWnd");
    c = &w.Program("C:\\Apps\\c.exe", "CWnd");
    a->AddIcon(1, "a");
    b->AddIcon(1, "b");
    c->AddIcon(1, "c");
    ASSERT_TRUE(w.corvalet->Start());
  }
  TrayRegistry& R() { return w.Registry(); }
  void Select(const std::string& tip) { R().ListView1.SetSelected(RowOf(R(), tip), true); }
};

TEST_F(ThreeIcons, PlacingInThePanelHidesTheButtonAtOnce) {
  Select("b");
  R().ListView1.CheckRadio(IconPlace::Panel);  // as the user's click on the radio button
  EXPECT_TRUE(w.Hidden(*b, 1));
  EXPECT_FALSE(w.Hidden(*a, 1));
  ASSERT_EQ(R().PanelList.Count(), 1);
  EXPECT_EQ(R().PanelList[0].TipText, "b");
  EXPECT_EQ(R().Memory.PanelMemory.Count(), 1);
  EXPECT_GT(w.views.panelRebuilds, 0);
  EXPECT_GT(w.views.menuRebuilds, 0);
  // Only in memory until OK or the next new icon writes it.
  EXPECT_EQ(w.IniValue("Panel items", "Count"), "<missing>");

  R().ListView1.CheckRadio(IconPlace::Menu);
  EXPECT_TRUE(w.Hidden(*b, 1));
  EXPECT_EQ(R().MenuList.Count(), 1);
  EXPECT_EQ(R().PanelList.Count(), 0);
  EXPECT_EQ(R().Memory.PanelMemory.Count(), 0);
  R().ListView1.CheckRadio(IconPlace::Tray);
  EXPECT_FALSE(w.Hidden(*b, 1));
}

TEST_F(ThreeIcons, TheListsKeepTheTrayOrderAndUnplacedIconsBelongToNone) {
  for (const char* tip : {"c", "a"}) {
    R().ListView1.SetSelected(R().ListView1.FirstSelected(), false);
    Select(tip);
    R().ListView1.CheckRadio(IconPlace::Tray);
  }
  ASSERT_EQ(R().TrayList.Count(), 2);
  EXPECT_EQ(R().TrayList[0].TipText, "a");
  EXPECT_EQ(R().TrayList[1].TipText, "c");
  EXPECT_EQ(R().PanelList.Count() + R().MenuList.Count(), 0);
}

TEST_F(ThreeIcons, AFoldedTrayKeepsEveryButtonHidden) {
  R().TrayFolded = true;
  R().RefreshIcons();
  for (const auto& button : w.taskbar->Buttons()) EXPECT_TRUE(button.hidden);
  R().Placement.ShowAllIcons();
  for (const auto& button : w.taskbar->Buttons()) EXPECT_FALSE(button.hidden);
}

TEST_F(ThreeIcons, APlaceButtonWithoutASelectedRowOnlyReapplies) {
  const int rebuilds = w.views.panelRebuilds;
  const int pumps = w.desktop.PumpCount;
  R().ListView1.CheckRadio(IconPlace::Panel);
  EXPECT_EQ(R().PanelList.Count(), 0);
  EXPECT_EQ(w.views.panelRebuilds, rebuilds + 1);
  EXPECT_EQ(w.desktop.PumpCount - pumps, 255);  // the own icon was refreshed
  EXPECT_TRUE(R().HandlingFlag);
}

TEST_F(ThreeIcons, SelectingARowShowsItsPlace) {
  Select("a");
  R().ListView1.CheckRadio(IconPlace::Menu);
  R().ListView1.SetSelected(RowOf(R(), "a"), false);
  Select("b");
  EXPECT_EQ(R().ListView1.CheckedPlace(), IconPlace::Unplaced);
  R().ListView1.SetSelected(RowOf(R(), "b"), false);
  Select("a");
  EXPECT_EQ(R().ListView1.CheckedPlace(), IconPlace::Menu);
  EXPECT_EQ(R().MenuList.Count(), 1);  // the click it ran found the place unchanged
}

TEST_F(ThreeIcons, MovingFollowsTheIconAndStopsAtTheEnds) {
  const int first = RowOf(R(), "a");
  ASSERT_EQ(first, 0);
  Select("a");
  EXPECT_FALSE(R().ListView1.SpeedButton3Enabled);
  w.desktop.Log.clear();
  R().Placement.SpeedButton3Click();  // already first: nothing is sent
  for (const auto& m : w.desktop.Log) EXPECT_NE(m.msg, kTbMoveButton);
  EXPECT_FALSE(R().ListView1.SpeedButton3Enabled);
  EXPECT_TRUE(R().ListView1.SpeedButton4Enabled);

  R().Placement.SpeedButton4Click();
  EXPECT_EQ(w.taskbar->Buttons()[1].owner, a->Window());
  EXPECT_EQ(RowOf(R(), "a"), 1);
  EXPECT_EQ(R().ListView1.FirstSelected(), 1);
  EXPECT_TRUE(R().ListView1.SpeedButton3Enabled);

  const int last = R().ListView1.RowCount() - 1;
  while (R().ListView1.FirstSelected() != last) R().Placement.SpeedButton4Click();
  EXPECT_FALSE(R().ListView1.SpeedButton4Enabled);
  EXPECT_EQ(R().ListView1.Rows[static_cast<std::size_t>(last)].Caption, "a");
  R().Placement.SpeedButton4Click();
  EXPECT_EQ(R().ListView1.FirstSelected(), last);

  R().Placement.SpeedButton3Click();
  EXPECT_EQ(R().ListView1.Rows[static_cast<std::size_t>(last - 1)].Caption, "a");
  EXPECT_EQ(R().ListView1.FirstSelected(), last - 1);
}

TEST_F(ThreeIcons, MovingAPanelIconKeepsItHidden) {
  Select("b");
  R().ListView1.CheckRadio(IconPlace::Panel);
  R().Placement.SpeedButton3Click();
  EXPECT_TRUE(w.Hidden(*b, 1));
  EXPECT_EQ(R().PanelList.Count(), 1);
}

TEST_F(ThreeIcons, RefreshOwnIconDropsTheReportsAboutItself) {
  const int pumps = w.desktop.PumpCount;
  bool flagDuringPumps = true;
  // Watch the flag from inside the pumps: a posted message runs there.
  const Hwnd probe = w.desktop.CreateWindow("Probe", "", 0, 1, [&](std::uint32_t, WParam, LParam) {
    flagDuringPumps = R().HandlingFlag;
    return 0;
  });
  w.desktop.PostMessageA(probe, 1, 0, 0);
  const auto before = w.desktop.Log.size();
  R().Placement.RefreshOwnIcon();
  EXPECT_FALSE(flagDuringPumps);
  EXPECT_TRUE(R().HandlingFlag);
  EXPECT_EQ(w.desktop.PumpCount - pumps, 255);
  EXPECT_TRUE(w.corvalet->Form().RxTrayIcon1().Active());
  // The shell reported the delete and the add; neither started a re-reading.
  int reports = 0, requests = 0;
  for (auto i = before; i < w.desktop.Log.size(); ++i) {
    const auto& m = w.desktop.Log[i];
    reports += m.msg == THM_ICONADDED || m.msg == THM_ICONDELETED;
    requests += m.msg == THM_ENUMREQUEST && m.wParam == THM_ENUM_VALUE;
  }
  EXPECT_EQ(reports, 2);
  EXPECT_EQ(requests, 0);
}

TEST_F(ThreeIcons, AnErrorWhileRefreshingTheOwnIconLeavesHandlingOn) {
  const Hwnd failing = w.desktop.CreateWindow(
      "Failing", "", 0, 1,
      [](std::uint32_t, WParam, LParam) -> LResult { throw std::runtime_error("handler failed"); });
  w.desktop.PostMessageA(failing, 1, 0, 0);
  EXPECT_THROW(R().Placement.RefreshOwnIcon(), std::runtime_error);
  EXPECT_TRUE(R().HandlingFlag);
  // And the tray is still followed.
  w.Program("C:\\Apps\\d.exe", "DWnd").AddIcon(1, "d");
  w.Pump();
  EXPECT_NE(Find(R(), "d"), nullptr);
}

}  // namespace
}  // namespace cvl::test
