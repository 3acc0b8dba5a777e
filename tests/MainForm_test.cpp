// The main form's life: start, the first and later showings, switching off and on, the end of
// the session, and exit.
#include <gtest/gtest.h>

#include "World.h"
#include "app/ProcessEntry.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

std::vector<std::string> Calls(World& w, std::size_t from = 0) {
  std::vector<std::string> calls;
  for (std::size_t i = from; i < w.desktop.Log.size(); ++i) {
    const auto& m = w.desktop.Log[i];
    if (m.msg == THM_HOOKSWITCH && m.window == w.taskbar->Taskbar())
      calls.push_back(static_cast<std::uint32_t>(m.lParam) == THM_ON ? "on" : "off");
    if (m.msg == THM_BUTTONSWITCH && m.window == w.taskbar->NotifyArea())
      calls.push_back(static_cast<std::uint32_t>(m.lParam) == THM_ON ? "button on" : "button off");
  }
  return calls;
}

TEST(MainForm, HandlesEveryNotificationAndNothingElseInTheRange) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  TMainForm& f = w.corvalet->Form();
  Hwnd minimized = 0;
  f.MinButtonRightClick = [&](Hwnd window) { minimized = window; };
  for (std::uint32_t msg = 0x404; msg <= 0x41F; ++msg) {
    const bool handled = !(msg >= 0x412 && msg <= 0x414) && !(msg >= 0x41C && msg <= 0x41E);
    // Replies that change nothing: the icon messages on an empty record, the reports switched off.
    w.Registry().HandlingFlag = false;
    EXPECT_EQ(f.WndProc(msg, 0, msg == THM_MINBUTTONRCLICK ? 0x1234 : 0).has_value(), handled)
        << std::hex << msg;
  }
  EXPECT_EQ(minimized, 0x1234u);
  EXPECT_TRUE(f.WndProc(kWmEndSession, 1, 0).has_value());
}

TEST(MainForm, StartWithEnabledOnHooksTwiceAndHidesNothingUnremembered) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(w.hook->SetCalls, 2);
  EXPECT_EQ(w.hook->DeleteCalls, 0);
  EXPECT_TRUE(w.hook->Serving());
  EXPECT_EQ(Calls(w), (std::vector<std::string>{"on", "button on", "on"}));
  EXPECT_FALSE(w.Hidden(a, 1));
  // The first showing: off screen, no taskbar button, the item shows the state.
  EXPECT_TRUE(w.corvalet->Host().buttonHidden);
  EXPECT_EQ(w.corvalet->Host().left, -500);
  EXPECT_EQ(w.corvalet->Host().top, -500);
  EXPECT_TRUE(w.corvalet->Form().Enabled1().Checked);
  EXPECT_EQ(w.corvalet->Form().Enabled1().ImageIndex, 3);  // the image list's fourth picture
  EXPECT_EQ(w.corvalet->Form().RxTrayIcon1().PictureIndex(), 0);
  EXPECT_EQ(w.corvalet->Form().HelpFile(), "C:\\Program Files\\Corvalet\\Help\\CvlHelp.hlp");
  // The settings were written once, with every key.
  EXPECT_EQ(w.IniValue("Common", "Enabled"), "1");
  EXPECT_EQ(w.IniValue("MinOptions", "MinimizeTo"), "1");
}

TEST(MainForm, StartWithEnabledOffRemovesTheHookAgain) {
  World w;
  w.SetIni(
      "[Common]\r\nEnabled=0\r\n[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(w.hook->SetCalls, 1);
  EXPECT_EQ(w.hook->DeleteCalls, 1);
  EXPECT_FALSE(w.hook->Installed());
  EXPECT_EQ(Calls(w),
            (std::vector<std::string>{"on", "button off", "button off", "off", "button off"}));
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_EQ(w.corvalet->Form().RxTrayIcon1().PictureIndex(), 1);
  EXPECT_FALSE(w.corvalet->Form().Enabled1().Checked);
  EXPECT_EQ(w.IniValue("Common", "Enabled"), "0");
}

TEST(MainForm, ASecondStartIsRefusedAndTouchesNothing) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  const auto log = w.desktop.Log.size();
  sim::SimCorvalet second(w.desktop, *w.hook, w.views);
  EXPECT_FALSE(second.Start());
  EXPECT_EQ(second.Warnings, 1);
  EXPECT_EQ(w.desktop.Log.size(), log);
  EXPECT_STREQ(kSecondInstanceWarning,
               "Can not be more then 2 Corvalets in the memory.\r\nPlease close one.");
}

TEST(MainForm, ALaterShowingReReadsButRunsNoFirstShowingSteps) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  const int sets = w.hook->SetCalls;
  w.SetIni(
      "[Common]\r\nApStyle=3\r\n[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  w.Registry().HandlingFlag = false;  // the report is missed: the showing must find it
  a.AddIcon(1, "a");
  w.Pump();
  w.Registry().HandlingFlag = true;
  w.corvalet->Form().FormShow();
  EXPECT_EQ(w.hook->SetCalls, sets);
  EXPECT_EQ(w.corvalet->Form().Options().ApStyle, 3);
  EXPECT_TRUE(w.Hidden(a, 1));
}

TEST(MainForm, SwitchingOffAndOnHandsTheTrayBackAndTakesItAgain) {
  World w;
  w.SetIni(
      "[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n"
      "[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\m.exe\r\nID_0=MWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  w.Program("C:\\Apps\\m.exe", "MWnd").AddIcon(1, "m");
  ASSERT_TRUE(w.corvalet->Start());
  TMainForm& f = w.corvalet->Form();
  ASSERT_TRUE(w.Hidden(a, 1));
  ASSERT_EQ(w.Registry().MenuList.Count(), 1);

  f.Enabled1Click();
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_FALSE(w.hook->Installed());
  EXPECT_EQ(w.Registry().PanelList.Count(), 0);
  EXPECT_EQ(w.Registry().MenuList.Count(), 0);
  EXPECT_EQ(f.RxTrayIcon1().PictureIndex(), 1);
  EXPECT_GT(w.views.clears, 0);
  EXPECT_EQ(f.Enabled1().ImageIndex, -1);
  EXPECT_EQ(w.IniValue("Common", "Enabled"), "0");

  f.Enabled1Click();
  EXPECT_TRUE(w.Hidden(a, 1));
  EXPECT_TRUE(w.hook->Serving());
  EXPECT_EQ(w.Registry().PanelList.Count(), 1);
  EXPECT_EQ(w.Registry().MenuList.Count(), 1);
  EXPECT_EQ(f.RxTrayIcon1().PictureIndex(), 0);
  EXPECT_EQ(f.Enabled1().ImageIndex, 3);
  EXPECT_EQ(w.IniValue("Common", "Enabled"), "1");
}

TEST(MainForm, TheOwnIconInTheTrayCarriesItsHintCallbackAndThePictureOfTheState) {
  World w;
  ASSERT_TRUE(w.corvalet->Start());
  TMainForm& f = w.corvalet->Form();
  sim::SimFormHost& host = w.corvalet->Host();
  const auto own = [&] { return w.taskbar->Button(host.window, kOwnIconId); };
  // What the shell holds, after the start's refresh took the icon away and added it again.
  ASSERT_TRUE(own());
  EXPECT_EQ(own()->tip, "Quillon Corvalet 2.0");
  EXPECT_EQ(own()->uCallbackMessage, kOwnIconCallback);
  EXPECT_EQ(own()->hIcon, host.ApplicationIcon());
  f.Enabled1Click();
  ASSERT_TRUE(own());
  EXPECT_EQ(own()->hIcon, host.DisabledIcon());
  EXPECT_EQ(own()->tip, "Quillon Corvalet 2.0");
  f.Enabled1Click();
  ASSERT_TRUE(own());
  EXPECT_EQ(own()->hIcon, host.ApplicationIcon());
  EXPECT_EQ(own()->tip, "Quillon Corvalet 2.0");
  w.corvalet->Exit();
  EXPECT_FALSE(own());
}

TEST(MainForm, TheEndOfTheSessionSwitchesOffWithoutSaving) {
  World w;
  w.SetIni("[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  ASSERT_TRUE(w.Hidden(a, 1));
  w.desktop.SendMessageA(w.corvalet->Host().window, kWmEndSession, 1, 0);
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_FALSE(w.hook->Installed());
  EXPECT_EQ(w.IniValue("Common", "Enabled"), "1");
  EXPECT_TRUE(w.corvalet->Form().Enabled1().Checked);
}

// Off twice, by the session's end and the user's click in either order: the second gives
// nothing back again, so a button its program hid in between stays hidden, and the unhooked
// shell gets no switch.
TEST(MainForm, SwitchingOffWhenOffLeavesAButtonItsProgramHidSince) {
  for (const bool clickFirst : {false, true}) {
    SCOPED_TRACE(clickFirst ? "click, then the session's end" : "the session's end, then click");
    World w;
    w.SetIni("[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
    auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
    a.AddIcon(1, "a");
    ASSERT_TRUE(w.corvalet->Start());
    TMainForm& f = w.corvalet->Form();
    const auto endSession = [&] {
      w.desktop.SendMessageA(w.corvalet->Host().window, kWmEndSession, 1, 0);
    };
    clickFirst ? f.Enabled1Click() : endSession();
    ASSERT_FALSE(w.Hidden(a, 1));
    a.SetHidden(1, true);
    const auto from = w.desktop.Log.size();
    clickFirst ? endSession() : f.Enabled1Click();
    EXPECT_TRUE(w.Hidden(a, 1));
    EXPECT_TRUE(Calls(w, from).empty());
    EXPECT_EQ(w.IniValue("Common", "Enabled"), "0");
    w.corvalet->Exit();
    EXPECT_TRUE(w.Hidden(a, 1));
  }
}

TEST(MainForm, ExitShowsEveryButtonAndRemovesTheHookLast) {
  World w;
  w.SetIni(
      "[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n"
      "[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\b.exe\r\nID_0=BWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  a.AddIcon(1, "a");
  b.AddIcon(1, "b");
  ASSERT_TRUE(w.corvalet->Start());
  ASSERT_TRUE(w.Hidden(a, 1) && w.Hidden(b, 1));
  w.desktop.Profile().RemoveFile("QLCvl.ini");
  const auto from = w.desktop.Log.size();
  w.corvalet->Exit();
  for (const auto& button : w.taskbar->Buttons()) EXPECT_FALSE(button.hidden);
  EXPECT_EQ(Calls(w, from), (std::vector<std::string>{"button off", "off"}));
  EXPECT_FALSE(w.hook->Installed());
  EXPECT_EQ(w.desktop.AtomCount(), 0);
  EXPECT_EQ(w.desktop.OpenHandles(), 0);
  // The own icon is gone from the tray; the settings were saved, the memory was not.
  EXPECT_EQ(w.taskbar->Buttons().size(), 2u);
  EXPECT_EQ(w.IniValue("Common", "Enabled"), "1");
  EXPECT_EQ(w.IniValue("Menu items", "Count"), "<missing>");
}

TEST(MainForm, ExitWithAnUnwritableFileStillHandsEverythingBack) {
  World w;
  w.SetIni("[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  w.corvalet->Exit();
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_FALSE(w.hook->Installed());
  ASSERT_EQ(w.corvalet->Host().errors.size(), 1u);
  EXPECT_EQ(w.corvalet->Host().errors[0], "Unable to write to QLCvl.ini");
}

TEST(MainForm, WithoutATaskbarItStartsAndExitsQuietly) {
  sim::SimDesktop desktop;
  sim::SimTaskbar taskbar(desktop, 90);
  sim::SimHook hook(desktop, taskbar);
  RecordingViews views;
  desktop.DestroyWindow(taskbar.Taskbar());
  sim::SimCorvalet corvalet(desktop, hook, views);
  ASSERT_TRUE(corvalet.Start());
  EXPECT_EQ(corvalet.Form().Shell().Toolbar, 0u);
  EXPECT_EQ(corvalet.Registry().AllIcons.Count(), 0);
  corvalet.Exit();
}

}  // namespace
}  // namespace cvl::test
