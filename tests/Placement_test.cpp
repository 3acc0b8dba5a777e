// Placing icons: the place lists, the buttons' visibility, the dialog's commands and the
// refresh of the own icon.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

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

// A button the library cannot read is left out of a reading, but not as gone: the button
// Corvalet hid goes back to the tray, where it can be seen, instead of staying hidden for good.
TEST_F(ThreeIcons, AHiddenButtonTheLibraryCannotReadGoesBackToTheTray) {
  Select("c");
  R().ListView1.CheckRadio(IconPlace::Menu);
  w.Pump();
  ASSERT_TRUE(w.Hidden(*c, 1));
  for (const auto& button : w.taskbar->Buttons())
    if (button.owner == c->Window()) w.hook->Unreadable.insert(button.idCommand);
  w.Program("C:\\Apps\\d.exe", "DWnd").AddIcon(1, "d");
  w.Pump();
  EXPECT_EQ(Find(R(), "c"), nullptr);
  EXPECT_FALSE(w.Hidden(*c, 1));
}

// The hide and show commands the tray toolbar received since the log position from.
std::vector<std::pair<std::int32_t, bool>> ButtonCommands(World& w, std::size_t from) {
  std::vector<std::pair<std::int32_t, bool>> sent;
  for (std::size_t i = from; i < w.desktop.Log.size(); ++i) {
    const auto& m = w.desktop.Log[i];
    if (m.msg == kTbHideButton && m.window == w.taskbar->Toolbar() &&
        m.wParam != THM_QUERYSETID_VALUE && m.wParam != THM_QUERYSETWND_VALUE)
      sent.emplace_back(static_cast<std::int32_t>(m.wParam), m.lParam != 0);
  }
  return sent;
}

// The shell itself hides the owner's first button.
void HideBehindCorvaletsBack(World& w, const sim::SimProgram& owner) {
  std::int32_t command = -1;
  for (const auto& button : w.taskbar->Buttons())
    if (button.owner == owner.Window() && button.uID == 1) command = button.idCommand;
  ASSERT_GE(command, 0);
  w.desktop.SendMessageA(w.taskbar->Toolbar(), kTbHideButton, static_cast<WParam>(command),
                         kTbHide);
  ASSERT_TRUE(w.Hidden(owner, 1));
}

TEST_F(ThreeIcons, APassSendsOnlyWhatIsNotSoAlreadyAndLeavingShowsEverything) {
  Select("b");
  R().ListView1.CheckRadio(IconPlace::Panel);
  R().ListView1.SetSelected(RowOf(R(), "b"), false);
  Select("c");
  R().ListView1.CheckRadio(IconPlace::Menu);
  w.Pump();
  ASSERT_TRUE(w.Hidden(*c, 1));
  // A new icon re-reads the tray and places all four: the new one stays in the tray, and
  // every button is already as it should be.
  const std::size_t from = w.desktop.Log.size();
  auto& d = w.Program("C:\\Apps\\d.exe", "DWnd");
  d.AddIcon(1, "d");
  w.Pump();
  ASSERT_EQ(PlaceOf(R(), "d"), IconPlace::Tray);
  EXPECT_EQ(ButtonCommands(w, from).size(), 0u);
  EXPECT_FALSE(w.Hidden(d, 1));
  EXPECT_TRUE(w.Hidden(*b, 1));
  EXPECT_TRUE(w.Hidden(*c, 1));
  EXPECT_FALSE(w.Hidden(*a, 1));
  // Moving b to the tray shows b alone.
  const std::size_t moved = w.desktop.Log.size();
  R().ListView1.SetSelected(RowOf(R(), "c"), false);
  Select("b");
  R().ListView1.CheckRadio(IconPlace::Tray);
  EXPECT_EQ(ButtonCommands(w, moved).size(), 1u);
  EXPECT_FALSE(w.Hidden(*b, 1));
  // c's icon goes and comes back under a new command: nothing is shown for the old one, which
  // the shell no longer has (during a burst each such send waits behind every program).
  const std::size_t readded = w.desktop.Log.size();
  c->DeleteIcon(1);
  w.Pump();
  c->AddIcon(1, "c");
  w.Pump();
  EXPECT_TRUE(w.Hidden(*c, 1));
  for (const auto& [command, hidden] : ButtonCommands(w, readded)) EXPECT_TRUE(hidden) << command;
  // The shell hid a behind Corvalet's back: leaving shows every button all the same,
  // including those Corvalet believes shown.
  HideBehindCorvaletsBack(w, *a);
  const std::size_t leaving = w.desktop.Log.size();
  R().Placement.ShowAllIcons();
  EXPECT_FALSE(w.Hidden(*a, 1));
  EXPECT_EQ(ButtonCommands(w, leaving).size(), static_cast<std::size_t>(R().AllIcons.Count()));
  EXPECT_FALSE(w.Hidden(*c, 1));
  EXPECT_FALSE(w.Hidden(*b, 1));
}

TEST_F(ThreeIcons, AButtonHiddenByTheShellItselfIsShownByTheNextReRead) {
  // The shell hides a (as XP hides inactive icons); a re-read reports it hidden, and a tray
  // icon is shown again.
  HideBehindCorvaletsBack(w, *a);
  R().RefreshIcons();
  EXPECT_FALSE(w.Hidden(*a, 1));
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
