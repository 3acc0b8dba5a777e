// What arrives while Corvalet switches, restarts or places a burst's buttons: a "TaskbarCreated"
// to the same or a new taskbar, a report that waited while Corvalet was off, a menu opened
// between a placement pass's commands, a session that ends while the tray is read, and a press
// in the panel whose release comes in the middle of it all.
#include <gtest/gtest.h>

#include <optional>

#include "Overlap.h"

namespace cvl::test {
namespace {

TEST(Overlaps, ABroadcastToTheSameTaskbarDestroysNothingAndDoublesNothing) {
  Overlap w("[Common]\r\nApStyle=2\r\nTrayButton=1\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  Drain(w);
  const Hwnd editor = w.desktop.CreateWindow("AWnd", "Notes", 0, a.ProcessId());
  w.desktop.ShowWindow(editor, kSwShow);
  w.corvalet->MinForm().MinimizeWindow(editor);
  Drain(w);
  const Hwnd button = w.F().TrayButton().ButtonWnd;
  ASSERT_NE(button, 0u);
  const int buttonsMade = w.corvalet->Buttons().Created;
  const int trayButtons = static_cast<int>(w.taskbar->Buttons().size());

  w.Broadcast();  // some program announces the taskbar that is already there
  Drain(w);

  EXPECT_EQ(w.F().TrayButton().ButtonWnd, button);
  EXPECT_NE(w.desktop.Window(button), nullptr) << "the live button is kept";
  EXPECT_EQ(w.corvalet->Buttons().Created, buttonsMade);
  EXPECT_FALSE(w.desktop.Window(editor)->visible) << "the hidden window stays hidden";
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 1);
  EXPECT_TRUE(w.taskbar->Button(w.corvalet->MinWindow(), editor).has_value());
  EXPECT_EQ(static_cast<int>(w.taskbar->Buttons().size()), trayButtons) << "no icon twice";
  EXPECT_TRUE(w.Hidden(a, 1));
}

TEST(Overlaps, ANewTaskbarForgetsTheClockTheOldOneHadHidden) {
  Overlap w("[Common]\r\nTrayButton=2\r\n");
  w.F().TrayButton().TrayButtonToggle();  // folds the icons and the clock away
  ASSERT_FALSE(w.desktop.Window(w.taskbar->Clock())->visible);
  w.taskbar.reset();
  w.taskbar = std::make_unique<sim::SimTaskbar>(w.desktop, 90);
  w.hook->ShellRestarted(*w.taskbar);
  w.desktop.ShowWindow(w.taskbar->Clock(), kSwHide);  // the user keeps this shell's clock hidden
  w.Broadcast();
  Drain(w);
  EXPECT_NE(w.F().TrayButton().ButtonWnd, 0u);
  EXPECT_FALSE(w.desktop.Window(w.taskbar->Clock())->visible);
}

TEST(Overlaps, AReportThatWaitedWhileCorvaletWasSwitchedOffOrEndedHidesNothing) {
  for (const bool ended : {false, true}) {
    Overlap w;
    auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
    ASSERT_TRUE(w.Hidden(a, 1));
    // A click waits ahead of a report; inside the menu it opens, the session ends (or the
    // window is destroyed) and Corvalet gives every button back.
    w.corvalet->InsideMenu = [&](const TrayMenu&) {
      if (ended)
        w.F().FormDestroy();
      else
        w.F().WndProc(kWmEndSession, 1, 0);
    };
    w.desktop.PostMessageA(w.Form(), kOwnIconCallback, kOwnIconId, kWmRButtonUp);
    auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
    b.AddIcon(1, "b");
    Drain(w);
    EXPECT_EQ(w.corvalet->MenusOpened, 1);
    EXPECT_FALSE(w.Hidden(a, 1)) << (ended ? "ended" : "switched off");
    EXPECT_FALSE(w.Hidden(b, 1)) << (ended ? "ended" : "switched off");
  }
}

TEST(Overlaps, AnEntryChosenInAMenuOpenedAheadOfABurstRunsAfterTheBatch) {
  for (const char* chosen : {"Enabled", "About"}) {
    Overlap w("[Common]\r\nApStyle=2\r\n");
    auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
    auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
    auto& c = w.Program("C:\\Apps\\c.exe", "CWnd");
    ASSERT_TRUE(w.Hidden(a, 1));
    w.corvalet->InsideMenu = [&](const TrayMenu& shown) {
      w.corvalet->MenuChoice = w.Position(shown, chosen);
    };
    bool heldInsideBox = true;
    w.corvalet->Host().insideModal = [&] { heldInsideBox = w.Registry().Deferral.Busy(); };
    b.AddIcon(1, "b");  // the click waits behind this report, the rest make a batch
    w.desktop.PostMessageA(w.Form(), kOwnIconCallback, kOwnIconId, kWmRButtonUp);
    c.AddIcon(1, "c");
    b.DeleteIcon(1);
    Drain(w);
    EXPECT_EQ(w.corvalet->MenusOpened, 1) << chosen;
    if (std::string(chosen) == "Enabled") {
      EXPECT_FALSE(w.F().Options().Enabled);
      EXPECT_FALSE(w.Hidden(a, 1)) << "switched off, no button stays hidden";
      EXPECT_FALSE(w.Hidden(c, 1));
    } else {
      EXPECT_EQ(w.corvalet->Host().aboutShown, 1);
      EXPECT_FALSE(heldInsideBox) << "the box opens from the main loop, not inside a refresh";
      EXPECT_TRUE(w.Hidden(c, 1));
    }
  }
}

// During a burst each button command waits behind every program that changes its icon: the
// menu requested meanwhile opens between two commands, on lists already whole, and the rest of
// the pass and what came in during the menu follow.
TEST(Overlaps, AMenuRequestedWhileButtonsArePlacedOpensBetweenTheCommandsOnTheWholeList) {
  Overlap w;  // new icons go to the menu
  auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  auto& c = w.Program("C:\\Apps\\c.exe", "CWnd");
  auto& d = w.Program("C:\\Apps\\d.exe", "DWnd");
  auto& e = w.Program("C:\\Apps\\e.exe", "EWnd");
  ASSERT_TRUE(w.Hidden(a, 1));
  w.RightClickDuringTheFirstHide();
  std::vector<std::string> entries;
  bool secondShownInside = false;
  w.corvalet->InsideMenu = [&](const TrayMenu& shown) {
    for (const MenuItem& item : shown.Items)
      if (item.Tag >= 0) entries.push_back(item.Caption);
    secondShownInside = !w.Hidden(c, 1) || !w.Hidden(d, 1);
    e.AddIcon(1, "e");  // held until the pass and the menu are over
    w.corvalet->MenuChoice = w.Position(shown, "About");
  };
  c.AddIcon(1, "c");
  d.AddIcon(1, "d");
  Drain(w);
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
  EXPECT_EQ(entries, (std::vector<std::string>{"d", "c", "a"}))
      << "the menu lists the pass's result";
  EXPECT_TRUE(secondShownInside) << "it opened before the pass had sent every command";
  EXPECT_TRUE(w.Hidden(c, 1));
  EXPECT_TRUE(w.Hidden(d, 1));
  EXPECT_TRUE(w.Hidden(e, 1)) << "the report that came during the menu was handled after it";
  EXPECT_EQ(w.corvalet->Host().aboutShown, 1);
}

// Only the menu is served between a pass's commands: a "TaskbarCreated" that comes in during
// one, or inside the menu opened there, reads the tray again after the pass, never inside it.
TEST(Overlaps, ARestartDuringAPlacementPassRunsAfterThePass) {
  for (const bool insideMenu : {false, true}) {
    std::vector<std::string> events;  // outlives the world whose toolbar records into it
    Overlap w;                        // new icons go to the menu
    w.Started("C:\\Apps\\a.exe", "AWnd", "a");
    auto& c = w.Program("C:\\Apps\\c.exe", "CWnd");
    auto& d = w.Program("C:\\Apps\\d.exe", "DWnd");
    int hides = 0;
    const Hwnd toolbar = w.taskbar->Toolbar();
    w.desktop.Subclass(toolbar, [&, old = w.desktop.Window(toolbar)->handler](
                                    std::uint32_t m, WParam wp, LParam lp) {
      if (m == kTbHideButton && lp == kTbHide) {
        events.push_back("hide");
        if (hides++ == 0) {
          if (insideMenu)
            w.desktop.PostMessageA(w.Form(), kOwnIconCallback, kOwnIconId, kWmRButtonUp);
          else
            w.Broadcast();
        }
      }
      if (m == THM_ENUMREQUEST && wp == THM_ENUM_VALUE) events.push_back("read");
      return old(m, wp, lp);
    });
    w.corvalet->InsideMenu = [&](const TrayMenu&) { w.Broadcast(); };
    c.AddIcon(1, "c");
    d.AddIcon(1, "d");
    Drain(w);
    ASSERT_GE(events.size(), 4u) << insideMenu;
    EXPECT_EQ((std::vector<std::string>(events.begin(), events.begin() + 4)),
              (std::vector<std::string>{"read", "hide", "hide", "read"}))
        << insideMenu;
    EXPECT_EQ(w.corvalet->MenusOpened, insideMenu ? 1 : 0);
    EXPECT_TRUE(w.Hidden(c, 1));
    EXPECT_TRUE(w.Hidden(d, 1));
  }
}

// Switching on places every button: a menu opened between those commands shows Corvalet on,
// so that choosing "Enabled" there switches it off as the user reads it.
TEST(Overlaps, AMenuOpenedWhileSwitchingOnPlacesTheButtonsShowsItSwitchedOn) {
  Overlap w("[Common]\r\nApStyle=3\r\nEnabled=0\r\n" + TwoRemembered("Menu"));
  auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  ASSERT_FALSE(w.Hidden(a, 1));
  w.RightClickDuringTheFirstHide();
  std::optional<bool> shownOn;
  w.corvalet->InsideMenu = [&](const TrayMenu& shown) {
    for (const MenuItem& item : shown.Items)
      if (item.Name == "Enabled1") shownOn = item.Checked;
    w.corvalet->MenuChoice = w.Position(shown, "About");
  };
  w.F().Enabled1Click();
  Drain(w);
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
  ASSERT_TRUE(shownOn.has_value());
  EXPECT_TRUE(*shownOn);
  EXPECT_TRUE(w.F().Options().Enabled);
  EXPECT_TRUE(w.Hidden(a, 1));
}

TEST(Overlaps, ASessionThatEndsWhileTheTrayIsReadLeavesNothingHidden) {
  Overlap w("[Common]\r\nApStyle=2\r\n");
  auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  ASSERT_TRUE(w.Hidden(a, 1));
  bool ended = false;
  w.desktop.Subclass(w.Form(), [&, old = w.desktop.Window(w.Form())->handler](
                                   std::uint32_t m, WParam wp, LParam lp) {
    const LResult r = old(m, wp, lp);
    if (m == THM_ENUMBEGIN && !ended) {
      ended = true;
      w.desktop.SendMessageA(w.Form(), kWmEndSession, 1, 0);  // sent: it comes in during the wait
    }
    return r;
  });
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  b.AddIcon(1, "b");
  Drain(w);
  ASSERT_TRUE(ended);
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_FALSE(w.Hidden(b, 1));
}

TEST(Overlaps, APressedCellsReleaseGoesToItsOwnerWhateverHappensMeanwhile) {
  Overlap w(TwoRemembered("Panel"));
  auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  auto& b = w.Started("C:\\Apps\\b.exe", "BWnd", "b");
  ASSERT_EQ(w.Registry().PanelList[0].TipText, "a");
  w.panel->CellLeftPress(0, false);  // held while a report rebuilds the panel: b is first now
  a.DeleteIcon(1);
  Drain(w);
  w.panel->CellLeftRelease();
  EXPECT_EQ(w.Clicks(a), (std::vector<std::uint32_t>{0x201, 0x202}));
  EXPECT_TRUE(w.Clicks(b).empty());
  // The owner takes the mouse while it handles the double-click.
  b.OnMessage = [&](std::uint32_t msg, WParam, LParam lp) {
    if (msg == sim::kOwnerCallback && lp == 0x203) w.panel->CaptureLost();
  };
  w.panel->CellLeftPress(0, true);
  w.panel->CellLeftRelease();
  EXPECT_EQ(w.Clicks(b), (std::vector<std::uint32_t>{0x203, 0x201}));
}

TEST(Overlaps, ABroadcastToABusyTrayBringsNoHiddenWindowBack) {
  Overlap w;
  auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  const Hwnd editor = w.desktop.CreateWindow("AWnd", "Notes", 0, a.ProcessId());
  w.desktop.ShowWindow(editor, kSwShow);
  w.corvalet->MinForm().MinimizeWindow(editor);
  Drain(w);
  // The tray lost the icon and takes none now.
  NotifyIconData gone;
  gone.hWnd = w.corvalet->MinWindow();
  gone.uID = editor;
  w.desktop.Shell_NotifyIconA(kNimDelete, gone);
  w.desktop.RefuseIcons = true;
  w.Broadcast();
  Drain(w);
  EXPECT_FALSE(w.desktop.Window(editor)->visible);
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 1);
  w.desktop.RefuseIcons = false;
}

TEST(Overlaps, APressWhoseCaptureAnOwnerTookReleasesNothingLater) {
  Overlap w("[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  Drain(w);
  w.panel->CellLeftPress(0, false);
  w.panel->CellLeftRelease();
  EXPECT_EQ(w.Clicks(a), (std::vector<std::uint32_t>{0x201, 0x202}));
  a.Received.clear();
  w.panel->CellLeftPress(0, true);
  w.panel->CaptureLost();  // the owner took the mouse on the press
  w.panel->CellLeftRelease();
  EXPECT_EQ(w.Clicks(a), (std::vector<std::uint32_t>{0x203, 0x201}));
}

TEST(Overlaps, SwitchingOffWithThePanelOpenHidesIt) {
  Overlap w("[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  Drain(w);
  w.F().RxTrayIcon1MouseMove();
  ASSERT_TRUE(w.panelWindow.Visible);
  w.F().Enabled1Click();
  EXPECT_FALSE(w.F().Options().Enabled);
  EXPECT_FALSE(w.panel->Visible);
  EXPECT_FALSE(w.panelWindow.Visible);
  EXPECT_FALSE(w.panelWindow.Timer1);
  EXPECT_FALSE(w.F().HintTimerEnabled());
}

// The session ends while the menu is open and its choice, a switch-on, runs after the end:
// the choice is kept, but the end switched off and nothing may switch back on.
TEST(Overlaps, ASwitchOnChosenInAMenuTheSessionsEndCameInsideLeavesCorvaletOff) {
  Overlap w;
  auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  w.F().Enabled1Click();
  ASSERT_FALSE(w.hook->Serving());
  w.corvalet->InsideMenu = [&](const TrayMenu& shown) {
    w.corvalet->MenuChoice = w.Position(shown, "Enabled");
    w.F().WndProc(kWmEndSession, 1, 0);
  };
  w.desktop.PostMessageA(w.Form(), kOwnIconCallback, kOwnIconId, kWmRButtonUp);
  Drain(w);
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
  EXPECT_TRUE(w.F().Options().Enabled);
  EXPECT_FALSE(w.hook->Serving()) << "switched on after the session's end";
  EXPECT_FALSE(w.Hidden(a, 1));
}

}  // namespace
}  // namespace cvl::test
