// The orders and values that other programs and the settings file rely on, pinned literally:
// the hook's calls among the switch messages, the protocol's numbers, every setting's key and
// section, and the placement memory's rules and file layout.
#include <gtest/gtest.h>

#include "SettingsDefaults.h"
#include "World.h"
#include "settings/IniFile.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

// The hook library's calls and the commands to the shell, in order, from the log.
std::vector<std::string> Events(World& w, std::size_t from = 0) {
  std::vector<std::string> events;
  for (std::size_t i = from; i < w.desktop.Log.size(); ++i) {
    const auto& m = w.desktop.Log[i];
    const auto value = static_cast<std::uint32_t>(m.lParam);
    if (m.msg == sim::kLogSetTrayHook) events.push_back("SetTrayHook");
    if (m.msg == sim::kLogDeleteTrayHook) events.push_back("DeleteTrayHook");
    if (m.msg == THM_HOOKSWITCH && m.window == w.taskbar->Taskbar())
      events.push_back(value == THM_ON ? "hook on" : "hook off");
    if (m.msg == THM_BUTTONSWITCH && m.window == w.taskbar->NotifyArea())
      events.push_back(value == THM_ON ? "button on" : "button off");
    if (m.msg == THM_ENUMREQUEST && m.window == w.taskbar->Toolbar()) events.push_back("enumerate");
    if (m.msg == kTbHideButton && m.window == w.taskbar->Toolbar() &&
        m.wParam != THM_QUERYSETID_VALUE && m.wParam != THM_QUERYSETWND_VALUE)
      events.push_back(value == 0 ? "show" : "hide");
  }
  // Runs of shows or hides count once: the order among the other events is what matters.
  events.erase(std::unique(events.begin(), events.end(),
                           [](const std::string& a, const std::string& b) {
                             return a == b && (a == "show" || a == "hide");
                           }),
               events.end());
  return events;
}

using Seq = std::vector<std::string>;

TEST(StatedOrder, StartSwitchedOnHooksAfterTheWindowsAndBeforeEveryRequest) {
  World w;
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  const Seq events = Events(w);
  ASSERT_GE(events.size(), 6u);
  EXPECT_EQ(Seq(events.begin(), events.begin() + 6),
            (Seq{"SetTrayHook", "hook on", "button on", "enumerate", "SetTrayHook", "hook on"}));
  // The button already stands: switching on at the first showing makes no second room.
  EXPECT_EQ(std::count(events.begin(), events.end(), "button on"), 1);
}

TEST(StatedOrder, StartSwitchedOffHandsTheTrayBackBeforeTheHookGoes) {
  World w;
  w.SetIni("[Common]\r\nEnabled=0\r\n");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  const Seq events = Events(w);
  // No request while switched off: creation finds no button wanted, then the switch-off, then
  // the dialog's controls are filled, which applies the clock-button mode once more.
  EXPECT_EQ(events, (Seq{"SetTrayHook", "hook on", "button off", "button off", "hook off",
                         "DeleteTrayHook", "button off"}));
}

TEST(StatedOrder, SwitchingOffShowsTheIconsThenReleasesTheRoomThenUnhooks) {
  World w;
  w.SetIni(kAInPanel);
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  const std::size_t from = w.desktop.Log.size();
  w.corvalet->Form().Enabled1Click();
  EXPECT_EQ(Events(w, from), (Seq{"show", "button off", "hook off", "DeleteTrayHook"}));
  const std::size_t again = w.desktop.Log.size();
  w.corvalet->Form().Enabled1Click();
  const Seq on = Events(w, again);
  ASSERT_GE(on.size(), 4u);
  EXPECT_EQ(Seq(on.begin(), on.begin() + 5),
            (Seq{"SetTrayHook", "hook on", "button on", "enumerate", "hide"}));
}

TEST(StatedOrder, ExitShowsEveryIconBeforeTheSwitchesAndUnhooksLast) {
  World w;
  w.SetIni("[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  const std::size_t from = w.desktop.Log.size();
  w.corvalet->Exit();
  EXPECT_EQ(Events(w, from), (Seq{"show", "button off", "hook off", "DeleteTrayHook"}));
}

TEST(StatedValues, TheProtocolsNumbersAreFixed) {
  const std::pair<std::uint32_t, std::uint32_t> pins[] = {
      {THM_ON, 0x7777},
      {THM_OFF, 0x9999},
      {THM_ENUM_VALUE, 0x5555},
      {THM_QUERY_VALUE, 0x6666},
      {THM_QUERYSETWND_VALUE, 0x6667},
      {THM_QUERYSETID_VALUE, 0x6668},
      {THM_BUTTONSWITCH, 0x402},
      {THM_HOOKSWITCH, 0x403},
      {THM_ENUMREQUEST, 0x401},
      {THM_QUERYSETWND, 0x404},
      {THM_QUERYSETID, 0x404},
      {THM_QUERYREQUEST, 0x412},
      {kTbHideButton, 0x404},
      {kTbMoveButton, 0x452},
      {THM_ENUMBEGIN, 0x404},
      {THM_ENUMICON, 0x405},
      {THM_ENUMOWNER, 0x406},
      {THM_ENUMCALLBACK, 0x407},
      {THM_ENUMTIP, 0x408},
      {THM_ENUMCOMMIT, 0x409},
      {THM_ENUMEND, 0x40A},
      {THM_QUERYBEGIN, 0x40B},
      {THM_QUERYICON, 0x40C},
      {THM_QUERYOWNER, 0x40D},
      {THM_QUERYCALLBACK, 0x40E},
      {THM_QUERYTIP, 0x40F},
      {THM_QUERYCOMMIT, 0x410},
      {THM_QUERYEND, 0x411},
      {THM_ICONADDED, 0x415},
      {THM_ICONMODIFIED, 0x416},
      {THM_ICONDELETED, 0x417},
      {THM_MENULEFTBUTTON, 0x419},
      {THM_MENURIGHTBUTTON, 0x41A},
      {THM_MINBUTTONRCLICK, 0x41F},
      {kWmEndSession, 0x16},
      {kDropsailNotify, 0x401},
      {static_cast<std::uint32_t>(kTbHide), 0xFFFF},
      {static_cast<std::uint32_t>(kTbShow), 0},
  };
  for (const auto& [value, pinned] : pins) EXPECT_EQ(value, pinned) << std::hex << pinned;
  EXPECT_STREQ(kMainFormClass, "TMainForm");
  EXPECT_STREQ(kMainFormCaption, "Quillon Corvalet");
  EXPECT_STREQ(kDropsailCaption, "Quillon Dropsail");
  EXPECT_STREQ(kSettingsFile, "QLCvl.ini");
}

struct StatedSettings : ::testing::Test {
  sim::SimDesktop desktop;
  TOptions options{desktop};
};

TEST_F(StatedSettings, EveryKeyIsReadFromItsOwnSection) {
  // Each key also stands in the other sections with a decoy value.
  const char* decoys =
      "NewInTray=0\r\nNewInCorvalet=1\r\nEnabled=1\r\nApStyle=9\r\nTrayButton=9\r\n"
      "LimitEnable=0\r\nLimitCount=99\r\nLangLib=decoy\r\nCurLang=decoy\r\nIsRightClick=1\r\n"
      "HotKey=99\r\nMinimizeTo=9\r\nIconsTrayLength=0\r\nIconsCvlLength=0\r\n";
  desktop.Profile().SetFileText(
      kSettingsFile,
      std::string("[Tray Icons]\r\nNewInTray=1\r\nNewInCorvalet=0\r\nIconsTrayLength=1\r\n"
                  "TrayIcon0=t\r\nIconsCvlLength=2\r\nCvlIcon0=c0\r\nCvlIcon1=c1\r\n") +
          "[Common]\r\nEnabled=0\r\nApStyle=3\r\nTrayButton=2\r\nLimitEnable=1\r\n"
          "LimitCount=5\r\nLangLib=C:\\de.lng\r\nCurLang=Deutsch\r\n" +
          "[MinOptions]\r\nIsRightClick=0\r\nHotKey=7\r\nMinimizeTo=2\r\n" + "[Decoy]\r\n" +
          decoys);
  options.Load(kSettingsFile);
  EXPECT_TRUE(options.NewInTray);
  EXPECT_FALSE(options.NewInCorvalet);
  EXPECT_EQ(options.TrayIconNames, (std::vector<std::string>{"t"}));
  EXPECT_EQ(options.CvlIconNames, (std::vector<std::string>{"c0", "c1"}));
  EXPECT_FALSE(options.Enabled);
  EXPECT_EQ(options.ApStyle, 3);
  EXPECT_EQ(options.TrayButton, 2);
  EXPECT_TRUE(options.LimitEnable);
  EXPECT_EQ(options.LimitCount, 5);
  EXPECT_EQ(options.LangLib, "C:\\de.lng");
  EXPECT_EQ(options.CurLang, "Deutsch");
  EXPECT_FALSE(options.IsRightClick);
  EXPECT_EQ(options.HotKey, 7);
  EXPECT_EQ(options.MinimizeTo, 2);
}

TEST_F(StatedSettings, EachKeyInTheWrongSectionIsNotRead) {
  // Every key only in a section where it does not belong: every field keeps its default.
  desktop.Profile().SetFileText(
      kSettingsFile,
      "[Common]\r\nNewInTray=1\r\nNewInCorvalet=0\r\nIsRightClick=0\r\nHotKey=7\r\n"
      "MinimizeTo=2\r\nIconsTrayLength=1\r\nTrayIcon0=t\r\n"
      "[Tray Icons]\r\nEnabled=0\r\nApStyle=3\r\nTrayButton=2\r\nLimitEnable=1\r\n"
      "LimitCount=5\r\nLangLib=x\r\nCurLang=y\r\n");
  options.Load(kSettingsFile);
  ExpectLoadDefaults(options);
}

TEST_F(StatedSettings, BooleansAreAnyNonZeroNumber) {
  for (const char* text : {"-1", "3", "2", "$10", "-7"}) {
    desktop.Profile().SetFileText(
        kSettingsFile, std::string("[Common]\r\nEnabled=0\r\n") + "LimitEnable=" + text + "\r\n");
    options.Load(kSettingsFile);
    EXPECT_TRUE(options.LimitEnable) << text;
    EXPECT_FALSE(options.Enabled);
  }
}

TEST_F(StatedSettings, SetDefaultGivesEveryFactoryValue) {
  options.NewInTray = true;
  options.NewInCorvalet = true;
  options.ApStyle = 3;
  options.TrayButton = 0;
  options.LimitEnable = true;
  options.LimitCount = 99;
  options.IsRightClick = false;
  options.HotKey = 5;
  options.MinimizeTo = 3;
  options.Enabled = false;
  options.CurLang = "Deutsch";
  options.SetDefault();
  EXPECT_FALSE(options.NewInTray);
  EXPECT_FALSE(options.NewInCorvalet);
  EXPECT_EQ(options.ApStyle, 1);
  EXPECT_EQ(options.TrayButton, 1);
  EXPECT_FALSE(options.LimitEnable);
  EXPECT_EQ(options.LimitCount, 16);
  EXPECT_TRUE(options.IsRightClick);
  EXPECT_EQ(options.HotKey, 0);
  EXPECT_EQ(options.MinimizeTo, 1);
  EXPECT_TRUE(options.Enabled);
  EXPECT_EQ(options.CurLang, "Deutsch");  // texts are no factory values
}

TEST(StatedMemory, TheMemoriesAreSearchedMenuThenPanelThenTray) {
  World w;
  const std::string pair = "IM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n";
  const std::string pairB = "IM_1=C:\\Apps\\b.exe\r\nID_1=BWnd\r\n";
  w.SetIni("[Panel items]\r\nCount=2\r\n" + pair + pairB + "[Menu items]\r\nCount=1\r\n" + pair +
           "[Tray items]\r\nCount=2\r\n" + pair + pairB);
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(PlaceOf(w.Registry(), "a"), IconPlace::Menu);   // menu over panel and tray
  EXPECT_EQ(PlaceOf(w.Registry(), "b"), IconPlace::Panel);  // panel over tray
}

TEST(StatedMemory, APairMovedToTheTrayLeavesThePanelAndTheFileKeepsItsKeyOrder) {
  World w;
  w.SetIni(
      "[Panel items]\r\nCount=2\r\nIM_0=C:\\Apps\\z.exe\r\nID_0=ZWnd\r\n"
      "IM_1=C:\\Apps\\a.exe\r\nID_1=AWnd\r\n");
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TrayRegistry& r = w.Registry();
  ASSERT_EQ(PlaceOf(r, "a"), IconPlace::Panel);
  for (int i = 0; i < r.AllIcons.Count(); ++i)
    if (r.AllIcons[i].TipText == "a") r.AllIcons.SetPlace(i, IconPlace::Tray);
  r.Memory.SavePlacementMemory();
  EXPECT_EQ(r.Memory.PanelMemory.Count(), 1);
  EXPECT_EQ(r.Memory.TrayMemory.Count(), 1);
  const std::string ini = w.Ini();
  const auto section = [&](const std::string& name) {
    const auto at = ini.find("[" + name + "]\r\n");
    return at == std::string::npos ? std::string() : ini.substr(at, ini.find("\r\n[", at + 1) - at);
  };
  EXPECT_EQ(section("Panel items"),
            "[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\z.exe\r\nID_0=ZWnd\r\n"
            "IM_1=C:\\Apps\\a.exe\r\nID_1=AWnd");  // the old keys stay behind the count
  EXPECT_EQ(section("Tray items"),
            "[Tray items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  // Sections are written panel, menu, tray: a new file gets them in that order.
  EXPECT_LT(ini.find("[Panel items]"), ini.find("[Menu items]"));
  EXPECT_LT(ini.find("[Menu items]"), ini.find("[Tray items]"));
}

TEST(StatedEffects, PlacementShowsAVisiblePanelAgainAndAReportRefreshesTheOwnIcon) {
  World w;
  w.SetIni(kAInPanel);
  ASSERT_TRUE(w.corvalet->Start());
  w.views.panelVisible = true;
  const int shown = w.views.showAgain;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  b.AddIcon(1, "b");  // b's button stands after Corvalet's own
  w.Pump();
  w.Pump();
  EXPECT_GT(w.views.showAgain, shown);
  // The own icon was removed and added again after the reports: its button is the last one.
  const auto& buttons = w.taskbar->Buttons();
  ASSERT_FALSE(buttons.empty());
  EXPECT_EQ(buttons.back().owner, w.corvalet->Host().window);
}

}  // namespace
}  // namespace cvl::test
