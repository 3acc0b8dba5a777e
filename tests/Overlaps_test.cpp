// What arrives while another loop runs: a report, a "TaskbarCreated" and the user's next click,
// delivered from inside the tray menu, a modal box, a send to an owner, RefreshOwnIcon's
// pumping, a wait for the hook's answer and the panel's timer. Each must end as if it had come
// after the loop.
#include <gtest/gtest.h>

#include "Overlap.h"

namespace cvl::test {
namespace {

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

}  // namespace
}  // namespace cvl::test
