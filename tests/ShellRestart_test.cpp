// A shell that dies and starts again: Corvalet finds the new taskbar, puts its hook, its icon,
// the minimizer's icons and the button near the clock back, and every icon its place.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

constexpr const char* kMemory =
    "[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n"
    "[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\b.exe\r\nID_0=BWnd\r\n";

struct Restart : World {
  explicit Restart(const std::string& common = "") {
    SetIni(common + kMemory);
    a = &Program("C:\\Apps\\a.exe", "AWnd");
    b = &Program("C:\\Apps\\b.exe", "BWnd");
    c = &Program("C:\\Apps\\c.exe", "CWnd");
    a->AddIcon(1, "a");
    b->AddIcon(1, "b");
    c->AddIcon(1, "c");
    EXPECT_TRUE(corvalet->Start());
  }
  // What the programs do on "TaskbarCreated": their icons again, as new.
  void OwnersAddAgain() {
    a->AddIcon(1, "a");
    b->AddIcon(1, "b");
    c->AddIcon(1, "c");
    Pump();
  }
  bool OwnIconInTray() { return taskbar->Button(corvalet->Host().window, kOwnIconId).has_value(); }
  Hwnd ClockButtonWindow() { return corvalet->Form().TrayButton().ButtonWnd; }
  sim::SimProgram *a, *b, *c;
};

TEST(ShellRestart, EveryIconGoesBackToItsPlaceAndEveryPartOfCorvaletComesBack) {
  Restart w;
  ASSERT_TRUE(w.Hidden(*w.a, 1));
  ASSERT_TRUE(w.Hidden(*w.b, 1));
  const Hwnd editor = w.desktop.CreateWindow("CWnd", "Notes - Editor", 0, w.c->ProcessId());
  w.desktop.ShowWindow(editor, kSwShow);
  w.corvalet->MinForm().MinimizeWindow(editor);
  w.Pump();
  const Hwnd oldTaskbar = w.taskbar->Taskbar();

  w.RestartShell();
  w.OwnersAddAgain();

  ASSERT_NE(w.taskbar->Taskbar(), oldTaskbar);
  EXPECT_TRUE(w.hook->Serving()) << "the hook is put back and switched on";
  EXPECT_TRUE(w.Hidden(*w.a, 1)) << "back in the panel";
  EXPECT_TRUE(w.Hidden(*w.b, 1)) << "back in the menu";
  EXPECT_FALSE(w.Hidden(*w.c, 1));
  EXPECT_EQ(w.Registry().PanelList.Count(), 1);
  EXPECT_EQ(w.Registry().MenuList.Count(), 1);
  EXPECT_TRUE(w.OwnIconInTray());
  EXPECT_TRUE(w.taskbar->Button(w.corvalet->MinWindow(), editor).has_value())
      << "the hidden window keeps a way back";
  EXPECT_FALSE(w.desktop.Window(editor)->visible);
  ASSERT_NE(w.desktop.Window(w.ClockButtonWindow()), nullptr) << "a live button near the clock";
  EXPECT_EQ(w.desktop.Window(w.ClockButtonWindow())->parent, w.taskbar->Taskbar());
  EXPECT_EQ(w.corvalet->Buttons().Created, 2);

  // And it goes on working: a new program's icon is placed by the new-icon style.
  sim::SimProgram& d = w.Program("C:\\Apps\\d.exe", "DWnd");
  d.AddIcon(1, "d");
  w.Pump();
  EXPECT_FALSE(w.Hidden(d, 1));
  EXPECT_NE(Find(w.Registry(), "d"), nullptr);
}

// An icon the user left in the tray, in no memory, comes back there when its owner adds it
// after Corvalet has read the new tray, with new icons going to the panel; a program that
// only now adds its icon, or one that adds it again much later, is new.
TEST(ShellRestart, AnIconThatWasInTheTrayIsNoNewIconWhenItsOwnerAddsItAgainLate) {
  for (const bool batched : {true, false}) {
    Restart w("[Common]\r\nApStyle=2\r\n");
    w.Registry().TakeWaitingReports = batched;
    ASSERT_FALSE(w.Hidden(*w.c, 1));
    w.RestartShell();  // read before any owner is back
    sim::SimProgram& d = w.Program("C:\\Apps\\d.exe", "DWnd");
    d.AddIcon(1, "d");
    w.OwnersAddAgain();
    w.Pump();
    EXPECT_TRUE(w.Hidden(*w.a, 1)) << batched;
    EXPECT_FALSE(w.Hidden(*w.c, 1)) << "back in the tray, batched " << batched;
    EXPECT_TRUE(w.Hidden(d, 1)) << "a new program's icon follows the new-icon style";
    const std::string ini = w.Ini();
    EXPECT_EQ(ini.find("c.exe"), std::string::npos) << ini;
    EXPECT_NE(ini.find("d.exe"), std::string::npos) << ini;
    // Much later the same owner adds its icon again on its own: that one is new.
    w.c->DeleteIcon(1);
    w.Pump();
    w.desktop.AdvanceTime(61000);
    w.c->AddIcon(1, "c");
    w.Pump();
    EXPECT_TRUE(w.Hidden(*w.c, 1)) << batched;
  }
}

TEST(ShellRestart, WhileSwitchedOffOnlyCorvaletsOwnIconComesBack) {
  Restart w("[Common]\r\nEnabled=0\r\n");
  ASSERT_FALSE(w.Hidden(*w.a, 1));
  w.RestartShell();
  w.OwnersAddAgain();
  EXPECT_TRUE(w.OwnIconInTray());
  EXPECT_FALSE(w.hook->Serving());
  EXPECT_FALSE(w.Hidden(*w.a, 1));
  EXPECT_FALSE(w.Hidden(*w.b, 1));
  EXPECT_EQ(w.ClockButtonWindow(), 0u);
}

TEST(ShellRestart, AFoldedTrayIsNotFoldedInTheNewShell) {
  Restart w;
  w.corvalet->Form().TrayButton().TrayButtonToggle();
  ASSERT_TRUE(w.Registry().TrayFolded);
  w.RestartShell();
  w.OwnersAddAgain();
  EXPECT_FALSE(w.Registry().TrayFolded);
  EXPECT_FALSE(w.Hidden(*w.c, 1)) << "an icon of the tray is shown in the new shell";
  EXPECT_EQ(w.corvalet->Buttons().Created, 2);
}

}  // namespace
}  // namespace cvl::test
