// What arrives while another loop runs: a report, a "TaskbarCreated" and the user's next click,
// delivered from inside the tray menu, a modal box, a send to an owner, RefreshOwnIcon's
// pumping, a wait for the hook's answer and the panel's timer. Each must end as if it had come
// after the loop.
#include <gtest/gtest.h>

#include <optional>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

void Drain(World& w) {
  for (int i = 0; i < 20 && w.desktop.QueueLength() > 0; ++i) w.Pump();
}

// Programs a and b remembered in the panel or the menu.
std::string TwoRemembered(const std::string& section) {
  return "[" + section + " items]\r\nCount=2\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n" +
         "IM_1=C:\\Apps\\b.exe\r\nID_1=BWnd\r\n";
}

struct Overlap : World {
  explicit Overlap(const std::string& ini = "[Common]\r\nApStyle=3\r\n") : World(90, true) {
    SetIni(ini);
    EXPECT_TRUE(corvalet->Start());
    Drain(*this);
    createdMessage = desktop.RegisterWindowMessageA("TaskbarCreated");
  }
  Hwnd Form() { return corvalet->Host().window; }
  // A program with one icon, placed.
  sim::SimProgram& Started(const std::string& exe, const std::string& cls, const std::string& tip) {
    sim::SimProgram& p = Program(exe, cls);
    p.AddIcon(1, tip);
    Drain(*this);
    return p;
  }
  TMainForm& F() { return corvalet->Form(); }
  // What the shell's broadcast does: a send (SendNotifyMessage) to every top-level window.
  void Broadcast() { desktop.SendMessageA(Form(), createdMessage, 0, 0); }
  // A new shell, announced from wherever this is called.
  void NewShell() {
    taskbar.reset();
    taskbar = std::make_unique<sim::SimTaskbar>(desktop, 90);
    hook->ShellRestarted(*taskbar);
    Broadcast();
  }
  void RightClickOwnIcon() { desktop.SendMessageA(Form(), kOwnIconCallback, 1, kWmRButtonUp); }
  // The user's right click on the own icon comes in while the shell handles the first button
  // command that hides a button.
  void RightClickDuringTheFirstHide() {
    const Hwnd toolbar = taskbar->Toolbar();
    desktop.Subclass(toolbar, [this, old = desktop.Window(toolbar)->handler](std::uint32_t m,
                                                                             WParam wp, LParam lp) {
      if (m == kTbHideButton && lp == kTbHide && hidesSeen++ == 0)
        desktop.PostMessageA(Form(), kOwnIconCallback, kOwnIconId, kWmRButtonUp);
      return old(m, wp, lp);
    });
  }
  int Position(const TrayMenu& shown, const std::string& caption) {
    for (int i = 0; i < shown.Count(); ++i)
      if (shown.Items[static_cast<std::size_t>(i)].Caption == caption) return i;
    return -1;
  }
  std::vector<std::uint32_t> Clicks(sim::SimProgram& p) {
    std::vector<std::uint32_t> m;
    for (const auto& r : p.Received)
      if (r.msg == sim::kOwnerCallback) m.push_back(static_cast<std::uint32_t>(r.lParam));
    return m;
  }
  std::uint32_t createdMessage = 0;
  int hidesSeen = 0;
};

TEST(Overlaps, TheMenuRunsTheEntryItShowedAndHandlesWhatCameAfterItCloses) {
  for (const char* chosen : {"Exit", "Enabled"}) {
    Overlap w;
    auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
    bool placedInside = true;
    w.corvalet->InsideMenu = [&](const TrayMenu& shown) {
      a.AddIcon(1, "a");  // joins the menu as a new entry above "Enabled" and "Exit"
      w.RightClickOwnIcon();
      w.Pump();
      w.Pump();
      placedInside = Find(w.Registry(), "a") != nullptr;
      w.corvalet->MenuChoice = w.Position(shown, chosen);
    };
    w.F().PopupTrayMenu({900, 700});
    EXPECT_FALSE(placedInside) << "a report waits while the menu is open";
    Drain(w);
    EXPECT_EQ(w.corvalet->Host().terminated, std::string(chosen) == "Exit") << chosen;
    EXPECT_EQ(w.F().Options().Enabled, std::string(chosen) == "Exit") << chosen;
    EXPECT_EQ(w.corvalet->MenusOpened, 1) << "a click on the icon with its menu open opens none";
    if (std::string(chosen) == "Exit") {
      EXPECT_EQ(PlaceOf(w.Registry(), "a"), IconPlace::Menu) << "placed once the menu closed";
      EXPECT_TRUE(w.Hidden(a, 1));
    }
  }
}

TEST(Overlaps, AnIconEntryClicksTheOwnerItShowedEvenWhenTheListChangedMeanwhile) {
  Overlap w(TwoRemembered("Menu"));
  auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  auto& b = w.Started("C:\\Apps\\b.exe", "BWnd", "b");
  ASSERT_EQ(w.Registry().MenuList.Count(), 2);
  w.corvalet->InsideMenu = [&](const TrayMenu& shown) {
    w.corvalet->MenuChoice = w.Position(shown, "b");
    a.DeleteIcon(1);  // b's entry moves up in the live list
  };
  w.F().PopupTrayMenu({900, 700});
  // Even when the choice runs after the deletion was handled.
  w.Registry().RefreshIcons();
  Drain(w);
  EXPECT_EQ(w.Clicks(b), (std::vector<std::uint32_t>{0x204, 0x205, 0x7B}));
  EXPECT_TRUE(w.Clicks(a).empty());
}

TEST(Overlaps, ARestartDuringTheMenuRunsOnceItHasClosed) {
  Overlap w;
  int buttonsInside = -1;
  w.corvalet->InsideMenu = [&](const TrayMenu&) {
    w.NewShell();
    w.Broadcast();  // a second broadcast: still one restart
    w.Pump();
    w.Pump();
    buttonsInside = w.corvalet->Buttons().Created;
  };
  const int buttonsBefore = w.corvalet->Buttons().Created;
  w.F().PopupTrayMenu({900, 700});
  EXPECT_EQ(buttonsInside, buttonsBefore);
  EXPECT_FALSE(w.hook->Serving()) << "the new shell waits until the menu has closed";
  Drain(w);
  EXPECT_TRUE(w.hook->Serving());
  EXPECT_EQ(w.corvalet->Buttons().Created, buttonsBefore + 1);
  EXPECT_TRUE(w.taskbar->Button(w.Form(), kOwnIconId).has_value());
}

TEST(Overlaps, AModalBoxLetsTheTrayWorkButOpensNoSecondMenuOrBox) {
  Overlap w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  auto& host = w.corvalet->Host();
  bool placedInside = false;
  host.insideModal = [&] {
    w.NewShell();
    Drain(w);
    a.AddIcon(1, "a");
    w.RightClickOwnIcon();
    w.F().TrayButton().TrayButtonProc(kWmRButtonUp);
    w.F().About1Click();
    Drain(w);
    placedInside = PlaceOf(w.Registry(), "a") == IconPlace::Menu;
  };
  w.F().About1Click();
  EXPECT_EQ(host.aboutShown, 1);
  EXPECT_EQ(w.corvalet->MenusOpened, 0);
  EXPECT_EQ(host.broughtToFront, 3);
  EXPECT_TRUE(placedInside) << "a modal box reads no list: the tray goes on being placed";
  EXPECT_TRUE(w.hook->Serving());
  // The language file's open dialog is modal in the same way, and the menu opens again after.
  host.aboutShown = 0;
  host.insideModal = [&] { w.F().About1Click(); };
  w.F().Button1Click();
  EXPECT_EQ(host.aboutShown, 0);
  host.insideModal = nullptr;
  w.RightClickOwnIcon();
  Drain(w);
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
}

TEST(Overlaps, AnOwnersClickIsSentWholeToItsOwnerWhateverArrivesDuringTheSend) {
  Overlap w(TwoRemembered("Panel"));
  auto& a = w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  auto& b = w.Started("C:\\Apps\\b.exe", "BWnd", "b");
  ASSERT_EQ(w.Registry().PanelList.Count(), 2);
  const int tagOfA = w.Registry().PanelList[0].TipText == "a" ? 0 : 1;
  bool restartedInside = false, once = false;
  a.OnMessage = [&](std::uint32_t msg, WParam, LParam) {
    if (msg != sim::kOwnerCallback || once) return;
    once = true;
    // The owner answers the click by changing the tray; a new shell announces itself and the
    // user clicks the own icon, all before the send returns.
    b.DeleteIcon(1);
    w.NewShell();
    w.RightClickOwnIcon();
    restartedInside = w.hook->Serving();
  };
  w.panel->CellMouseDown(tagOfA, MouseButton::Right);
  EXPECT_FALSE(restartedInside) << "the restart is never handled inside a send";
  EXPECT_EQ(w.Clicks(a), (std::vector<std::uint32_t>{0x204, 0x7B}));
  EXPECT_TRUE(w.Clicks(b).empty());
  EXPECT_EQ(w.corvalet->MenusOpened, 0);
  Drain(w);
  EXPECT_TRUE(w.hook->Serving());
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
  EXPECT_EQ(w.Registry().PanelList.Count(), 0) << "the new tray holds no icon yet";
}

TEST(Overlaps, WhatArrivesDuringTheOwnIconsRefreshWaitsUntilItIsOverButTheMenu) {
  Overlap w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");  // its report is queued
  w.NewShell();       // the broadcast posts the restart
  w.RightClickOwnIcon();
  a.ModifyIcon(1, "a2");
  bool chosenInside = false;
  w.corvalet->InsideMenu = [&](const TrayMenu& shown) {
    w.corvalet->MenuChoice = w.Position(shown, "About");
  };
  w.corvalet->Host().insideModal = [&] {
    chosenInside = w.Registry().Placement.RefreshingOwnIcon();
  };
  w.Registry().Placement.RefreshOwnIcon();
  EXPECT_EQ(w.corvalet->MenusOpened, 1) << "the refresh holds nothing the menu reads";
  EXPECT_EQ(w.corvalet->Host().aboutShown, 0) << "what was chosen runs after the refresh";
  EXPECT_FALSE(w.hook->Serving());
  EXPECT_EQ(Find(w.Registry(), "a2"), nullptr);
  Drain(w);
  EXPECT_EQ(w.corvalet->Host().aboutShown, 1);
  EXPECT_FALSE(chosenInside);
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
  EXPECT_TRUE(w.hook->Serving());
  EXPECT_TRUE(w.taskbar->Button(w.Form(), kOwnIconId).has_value());
}

TEST(Overlaps, WhatIsSentDuringAWaitForTheHooksAnswerRunsAfterTheAnswer) {
  Overlap w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  Drain(w);
  w.hook->AnswerMode = sim::SimHook::Answer::PostedAfterBegin;
  int begins = 0, menusInside = -1;
  bool servingInside = true;
  w.desktop.Subclass(w.Form(), [&, old = w.desktop.Window(w.Form())->handler](
                                   std::uint32_t m, WParam wp, LParam lp) {
    if (m == THM_ENUMBEGIN && begins++ == 0) {
      w.NewShell();
      w.RightClickOwnIcon();
    }
    const LResult r = old(m, wp, lp);
    if (m == THM_ENUMEND && menusInside < 0) {
      menusInside = w.corvalet->MenusOpened;
      servingInside = w.hook->Serving();
    }
    return r;
  });
  w.Registry().RefreshIcons();
  EXPECT_EQ(menusInside, 0);
  EXPECT_FALSE(servingInside);
  Drain(w);
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
  EXPECT_TRUE(w.hook->Serving());
}

TEST(Overlaps, ThePanelsTimerLetsEverythingInButDoesNotPumpInsideItself) {
  Overlap w("[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  Drain(w);
  w.panel->Show();
  int nestedPumps = -1;
  const Hwnd ticker =
      w.desktop.CreateWindow("Ticker", "", 0, 1, [&](std::uint32_t, WParam, LParam) {
        const int before = w.desktop.PumpCount;
        w.panel->Timer1Timer();  // its next tick, come while it pumps
        nestedPumps = w.desktop.PumpCount - before;
        return 0;
      });
  w.desktop.PostMessageA(ticker, 1, 0, 0);
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  b.AddIcon(1, "b");
  w.RightClickOwnIcon();
  w.panel->Timer1Timer();
  EXPECT_EQ(nestedPumps, 0);
  EXPECT_EQ(PlaceOf(w.Registry(), "b"), IconPlace::Tray);
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
}

TEST(Overlaps, ThePanelsTickInsideTheMenuLeavesTheMenusInputToTheMenu) {
  Overlap w("[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  w.Started("C:\\Apps\\a.exe", "AWnd", "a");
  w.corvalet->MenuChoice = kMenuOptions;
  w.desktop.SendMessageA(w.Form(), kOwnIconCallback, kOwnIconId, kWmMouseMove);  // panel up
  ASSERT_TRUE(w.panel->Visible);
  int clicksTaken = 0;
  const Hwnd menu = w.desktop.CreateWindow("#32768", "", 0, 1, [&](std::uint32_t, WParam, LParam) {
    ++clicksTaken;
    return 0;
  });
  int takenInside = -1;
  w.corvalet->InsideMenu = [&](const TrayMenu&) {
    w.desktop.PostMessageA(menu, kWmLButtonDown, 0, 0);  // the click the menu waits for
    w.panel->Timer1Timer();                              // the panel's tick, from the menu's loop
    takenInside = clicksTaken;
  };
  w.RightClickOwnIcon();
  Drain(w);
  EXPECT_EQ(takenInside, 0);
  EXPECT_TRUE(w.F().Dialog.Visible);  // the choice ran
  // Outside any loop of ours the tick pumps as ever.
  const int pumps = w.desktop.PumpCount;
  w.panel->Timer1Timer();
  EXPECT_EQ(w.desktop.PumpCount - pumps, 100);
}

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

}  // namespace
}  // namespace cvl::test
