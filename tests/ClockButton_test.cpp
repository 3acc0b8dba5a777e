// The button near the clock: its life with the setting and the switch, folding in both modes,
// the clock that only Corvalet's fold may show again, the menu and the panel from the button.
#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <utility>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

struct ButtonWorld : World {
  explicit ButtonWorld(int mode, int version = 90, const std::string& extra = "")
      : World(version, true) {
    SetIni("[Common]\r\nTrayButton=" + std::to_string(mode) + "\r\n" + extra +
           "[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\p.exe\r\nID_0=P\r\n");
    panelOwner = &Program("C:\\Apps\\p.exe", "P");
    trayOwner = &Program("C:\\Apps\\t.exe", "T");
    panelOwner->AddIcon(1, "p");
    trayOwner->AddIcon(1, "t");
    EXPECT_TRUE(corvalet->Start());
  }
  ClockButton& Button() { return corvalet->Form().TrayButton(); }
  bool ClockShown() { return desktop.IsWindowVisible(taskbar->Clock()); }
  std::string Caption() { return desktop.GetWindowTextA(Button().ButtonWnd, 10); }
  sim::SimProgram* panelOwner;
  sim::SimProgram* trayOwner;
};

TEST(ClockButton, CreatedInTheTaskbarAtItsPlaceForTheVersion) {
  ButtonWorld xp(1);
  ASSERT_NE(xp.Button().ButtonWnd, 0u);
  EXPECT_EQ(xp.desktop.GetClassNameA(xp.Button().ButtonWnd, 64), "QLTrayButton");
  EXPECT_EQ(xp.Caption(), ">");
  ASSERT_EQ(xp.corvalet->Buttons().Positions.size(), 1u);
  EXPECT_EQ(xp.corvalet->Buttons().Positions[0].x, 1024 - 14);
  EXPECT_EQ(xp.corvalet->Buttons().Positions[0].y, 10);
  ButtonWorld w2000(1, 80);
  EXPECT_EQ(w2000.corvalet->Buttons().Positions[0].x, 1024 - 17);
  EXPECT_EQ(w2000.corvalet->Buttons().Positions[0].y, 5);
  // From the taskbar's own width, wherever it starts on the screen.
  EXPECT_EQ(ClockButton::Position({1024, 738, 2048, 768}, 90).x, 1024 - 14);
}

TEST(ClockButton, AtTheClocksEndOfTheBarForEveryEdge) {
  const auto at = [](const Rect& bar, int version) {
    const Point p = ClockButton::Position(bar, version);
    return std::pair{p.x, p.y};
  };
  // Top and bottom: the right end; left and right: the bottom end, wherever the bar starts.
  const Rect bottom{0, 738, 1024, 768}, top{0, 0, 1024, 30};
  const Rect left{0, 0, 60, 768}, right{964, 0, 1024, 768};
  for (const Rect& bar : {bottom, top}) {
    EXPECT_EQ(at(bar, 90), std::pair(1010, 10));
    EXPECT_EQ(at(bar, 80), std::pair(1007, 5));
  }
  for (const Rect& bar : {left, right}) {
    EXPECT_EQ(at(bar, 90), std::pair(10, 768 - 14));
    EXPECT_EQ(at(bar, 80), std::pair(5, 768 - 17));
  }
  // A square bar counts as horizontal.
  EXPECT_EQ(at({0, 0, 40, 40}, 90), std::pair(26, 10));
}

TEST(ClockButton, ModeThreeOrSwitchedOffGivesNoButton) {
  ButtonWorld none(3);
  EXPECT_EQ(none.Button().ButtonWnd, 0u);
  EXPECT_EQ(none.corvalet->Buttons().Created, 0);
  ButtonWorld off(1, 90, "Enabled=0\r\n");
  EXPECT_EQ(off.corvalet->Buttons().Created, 0);
  EXPECT_EQ(off.desktop.FindWindowExA(off.taskbar->Taskbar(), 0, "QLTrayButton", nullptr), 0u);
}

TEST(ClockButton, FoldingHidesEveryIconAndUnfoldingShowsTheTrayPlacedOnes) {
  ButtonWorld w(1);
  ASSERT_TRUE(w.Hidden(*w.panelOwner, 1));
  ASSERT_FALSE(w.Hidden(*w.trayOwner, 1));
  w.Button().TrayButtonProc(kWmLButtonUp);
  EXPECT_EQ(w.Caption(), "<");
  EXPECT_TRUE(w.Hidden(*w.trayOwner, 1));
  EXPECT_TRUE(w.ClockShown());  // mode 1 leaves the clock
  // Corvalet's own icon stays: it was added again after the fold.
  EXPECT_FALSE(w.taskbar->Buttons().back().hidden);
  // A placement pass while folded keeps everything hidden.
  w.Registry().Placement.ApplyPlacement();
  EXPECT_TRUE(w.Hidden(*w.trayOwner, 1));
  w.Button().TrayButtonProc(kWmLButtonUp);
  EXPECT_EQ(w.Caption(), ">");
  EXPECT_FALSE(w.Hidden(*w.trayOwner, 1));
  EXPECT_TRUE(w.Hidden(*w.panelOwner, 1));
  // Folding saves nothing.
  EXPECT_EQ(w.IniValue("Common", "TrayButton"), "1");
}

TEST(ClockButton, ModeTwoFoldsTheClockAndOnlyAClockCorvaletHidIsShownAgain) {
  ButtonWorld w(2);
  w.Button().TrayButtonProc(kWmLButtonUp);
  EXPECT_FALSE(w.ClockShown());
  EXPECT_GT(w.desktop.AsyncShows, 0);  // never a call that waits on the shell's thread
  w.Button().TrayButtonProc(kWmLButtonUp);
  EXPECT_TRUE(w.ClockShown());

  // The user hid the clock in the shell: folding and unfolding leave it hidden.
  w.desktop.ShowWindow(w.taskbar->Clock(), kSwHide);
  w.Button().TrayButtonProc(kWmLButtonUp);
  w.Button().TrayButtonProc(kWmLButtonUp);
  EXPECT_FALSE(w.ClockShown());
  w.corvalet->Exit();
  EXPECT_FALSE(w.ClockShown());
}

TEST(ClockButton, SwitchingOffWhileFoldedUnfoldsAndRemovesTheButton) {
  ButtonWorld w(2);
  w.Button().TrayButtonProc(kWmLButtonUp);
  const std::size_t from = w.desktop.Log.size();
  w.corvalet->Form().Enabled1Click();
  EXPECT_TRUE(w.ClockShown());
  EXPECT_FALSE(w.Hidden(*w.trayOwner, 1));
  EXPECT_FALSE(w.Hidden(*w.panelOwner, 1));
  EXPECT_EQ(w.Button().ButtonWnd, 0u);
  EXPECT_EQ(w.desktop.FindWindowExA(w.taskbar->Taskbar(), 0, "QLTrayButton", nullptr), 0u);
  bool released = false;
  for (std::size_t i = from; i < w.desktop.Log.size(); ++i)
    released |= w.desktop.Log[i].msg == THM_BUTTONSWITCH &&
                static_cast<std::uint32_t>(w.desktop.Log[i].lParam) == THM_OFF;
  EXPECT_TRUE(released);
  // Switching on brings the button back, unfolded.
  w.corvalet->Form().Enabled1Click();
  EXPECT_NE(w.Button().ButtonWnd, 0u);
  EXPECT_EQ(w.Caption(), ">");
}

TEST(ClockButton, TheChoicesApplyAtOnceAndAModeChangeWaitsForTheNextFold) {
  ButtonWorld w(1);
  ClockButton& b = w.Button();
  const Hwnd first = b.ButtonWnd;
  b.RadioButton8Click(true);  // 1 -> 2: same button
  EXPECT_EQ(b.ButtonWnd, first);
  EXPECT_EQ(w.corvalet->Form().Options().TrayButton, 2);
  b.TrayButtonProc(kWmLButtonUp);
  EXPECT_FALSE(w.ClockShown());  // the next fold takes the clock too
  b.RadioButton9Click(true);     // no button: unfolds first
  EXPECT_TRUE(w.ClockShown());
  EXPECT_FALSE(w.Hidden(*w.trayOwner, 1));
  EXPECT_EQ(b.ButtonWnd, 0u);
  b.RadioButton7Click(false);  // unchecked: the mode stays, the button is applied again
  EXPECT_EQ(w.corvalet->Form().Options().TrayButton, 3);
  EXPECT_EQ(b.ButtonWnd, 0u);
  b.RadioButton7Click(true);
  EXPECT_NE(b.ButtonWnd, 0u);
}

TEST(ClockButton, ARightClickClosesAnOpenMenuAndOpensOursAHoverOpensThePanel) {
  ButtonWorld w(1);
  const TMainForm& f = w.corvalet->Form();
  int closedBeforeOpening = -1;  // the other menu must be gone before ours opens
  w.corvalet->InsideMenu = [&](const TrayMenu&) {
    closedBeforeOpening = w.corvalet->Buttons().MenusClosed;
  };
  w.desktop.SetCursor({1010, 748});
  w.Button().TrayButtonProc(kWmRButtonUp);
  EXPECT_EQ(closedBeforeOpening, 1);
  EXPECT_EQ(w.corvalet->Buttons().MenusClosed, 1);
  EXPECT_EQ(w.corvalet->MenuAt.x, 1010);
  EXPECT_FALSE(w.panel->Visible);
  w.Button().TrayButtonProc(kWmMouseMove);  // the panel holds a cell: it opens
  EXPECT_TRUE(w.panel->Visible);
  EXPECT_TRUE(f.HintTimerEnabled());
  // With no cells, hovering the button opens nothing.
  w.panel->Hide();
  w.panel->ClearCells();
  w.Button().TrayButtonProc(kWmMouseMove);
  EXPECT_FALSE(w.panel->Visible);
}

TEST(ClockButton, ExitReleasesTheRoomAndShowsAFoldedClock) {
  ButtonWorld w(2);
  w.Button().TrayButtonProc(kWmLButtonUp);
  ASSERT_FALSE(w.ClockShown());
  w.corvalet->Exit();
  EXPECT_TRUE(w.ClockShown());
  EXPECT_FALSE(w.Hidden(*w.trayOwner, 1));
}

// A reading placed on its own while the tray is folded (a program hides or shows its icon, or
// dies) hides every listed button: Corvalet's own icon comes back at the tray's end all the same.
TEST(ClockButton, TheOwnIconStaysWhenAProgramChangesItsIconWhileTheTrayIsFolded) {
  const std::function<void(ButtonWorld&)> changes[] = {
      [](ButtonWorld& w) { w.trayOwner->SetHidden(1, true); },
      [](ButtonWorld& w) { w.panelOwner->SetHidden(1, true); },
      [](ButtonWorld& w) { w.trayOwner->End(); },
  };
  for (std::size_t i = 0; i < std::size(changes); ++i) {
    ButtonWorld w(1);
    w.corvalet->Form().TrayButton().TrayButtonToggle();
    ASSERT_TRUE(w.Registry().TrayFolded);
    changes[i](w);
    for (int round = 0; round < 20 && w.desktop.QueueLength() > 0; ++round) w.Pump();
    const auto own = w.taskbar->Button(w.corvalet->Host().window, kOwnIconId);
    ASSERT_TRUE(own.has_value()) << "change " << i;
    EXPECT_FALSE(own->hidden) << "change " << i;
  }
}

}  // namespace
}  // namespace cvl::test
