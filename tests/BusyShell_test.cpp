// A shell that is busy for longer than Corvalet waits: what it missed goes again.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

constexpr std::uint32_t kStallMs = 4000;  // longer than one bounded send waits

TEST(BusyShell, ASwitchTheShellMissedIsSentAgainBeforeTheNextRequest) {
  World w;
  w.SetIni(
      "[Common]\r\nEnabled=0\r\n[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\n"
      "ID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  ASSERT_FALSE(w.hook->Serving());
  w.desktop.StallProcess(w.taskbar->ProcessId(), kStallMs);
  w.corvalet->Form().Enabled1Click();  // switching on: THM_HOOKSWITCH times out
  EXPECT_TRUE(w.hook->Serving());
  EXPECT_TRUE(w.Hidden(a, 1));
  EXPECT_FALSE(w.corvalet->Form().Commands().HasPending());
  // A later switch replaces one kept: an ON that never arrived is not sent after an OFF that did.
  ShellCommands& commands = w.corvalet->Form().Commands();
  w.desktop.StallProcess(w.taskbar->ProcessId(), kStallMs);
  commands.Switch(w.taskbar->Taskbar(), THM_HOOKSWITCH, THM_ON);   // kept
  commands.Switch(w.taskbar->Taskbar(), THM_HOOKSWITCH, THM_OFF);  // lands once the stall is over
  commands.RetryPending();
  EXPECT_FALSE(w.hook->Serving());
  EXPECT_FALSE(commands.HasPending());
}

TEST(BusyShell, AButtonShownWhileTheShellWasBusyIsShownOnRetry) {
  World w;
  w.SetIni(kAInPanel);
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  ASSERT_TRUE(w.Hidden(a, 1));
  TMainForm& f = w.corvalet->Form();
  w.desktop.StallProcess(w.taskbar->ProcessId(), kStallMs);
  f.Registry().Placement.ShowAllIcons();  // as on switching off: the show of a's button is lost
  EXPECT_TRUE(w.Hidden(a, 1));
  ASSERT_TRUE(f.Commands().HasPending());
  f.Commands().RetryPending();  // the main window's retry timer
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_FALSE(f.Commands().HasPending());
}

TEST(BusyShell, OnlyAKeptCommandAsksForTheRetryTimer) {
  World w;
  w.SetIni(kAInPanel);
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TMainForm& f = w.corvalet->Form();
  int kept = 0;
  f.Commands().OnKept = [&] { ++kept; };
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  a.ModifyIcon(1, "a again");
  w.Pump();
  EXPECT_EQ(kept, 0) << "a shell that takes everything leaves nothing to retry: no timer";
  w.desktop.StallProcess(w.taskbar->ProcessId(), kStallMs);
  f.Registry().Placement.ShowAllIcons();
  EXPECT_GE(kept, 1);
  const int buttonsKept = kept;
  w.desktop.StallProcess(w.taskbar->ProcessId(), kStallMs);
  f.Commands().Switch(w.taskbar->Taskbar(), THM_HOOKSWITCH, THM_ON);
  EXPECT_EQ(kept, buttonsKept + 1);
}

TEST(BusyShell, ALostHideIsPutRightByTheNextPlacementPass) {
  World w;
  w.SetIni(kAInPanel);
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  a.AddIcon(1, "a");
  w.desktop.StallProcess(w.taskbar->ProcessId(), kStallMs);
  w.Pump();  // the enumeration request is lost; the report is handled and a stays unplaced
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  w.Pump();
  EXPECT_EQ(PlaceOf(r, "a"), IconPlace::Panel);
  EXPECT_TRUE(w.Hidden(a, 1));
}

TEST(BusyShell, AHungShellCostsOneBoundPerRetryNotOnePerCommand) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  a.AddIcon(1, "a");
  b.AddIcon(1, "b");
  ASSERT_TRUE(w.corvalet->Start());
  TMainForm& f = w.corvalet->Form();
  w.desktop.Window(w.taskbar->Toolbar())->hung = true;
  f.Registry().Placement.ShowAllIcons();
  ASSERT_TRUE(f.Commands().HasPending());
  const std::uint32_t before = w.desktop.GetTickCount();
  f.Commands().RetryPending();
  EXPECT_EQ(w.desktop.GetTickCount() - before, kHookAnswerTimeoutMs);
  EXPECT_TRUE(f.Commands().HasPending());
}

}  // namespace
}  // namespace cvl::test
