// The options dialog's model: filling the controls from the settings and back, Ok, Cancel,
// Set default, the page bar and the header, and what acts at once.
#include <gtest/gtest.h>

#include "World.h"
#include "settings/IniFile.h"

namespace cvl::test {
namespace {

struct DialogWorld : World {
  explicit DialogWorld(const std::string& ini = "") {
    SetIni(ini);
    EXPECT_TRUE(corvalet->Start());
  }
  TMainForm& Form() { return corvalet->Form(); }
  Hwnd Button() { return desktop.FindWindowExA(taskbar->Taskbar(), 0, "QLTrayButton", nullptr); }
};

TEST(OptionsDialog, EveryStoredValueReachesItsControlAndOkStoresThemBack) {
  DialogWorld w(
      "[Common]\r\nApStyle=3\r\nTrayButton=2\r\nLimitEnable=1\r\nLimitCount=9\r\n"
      "[MinOptions]\r\nIsRightClick=0\r\nMinimizeTo=1\r\n");
  const OptionsDialogState& d = w.Form().Dialog;
  EXPECT_EQ(d.ApStyle, 3);
  EXPECT_EQ(d.TrayButton, 2);
  EXPECT_TRUE(d.CheckBox3);
  EXPECT_EQ(d.SpinEdit1, 9);
  EXPECT_FALSE(d.CheckBox4);
  EXPECT_EQ(d.MinimizeTo, 1);
  w.Form().Dialog.ApStyle = 2;
  w.Form().Dialog.MinimizeTo = 3;
  w.Form().Dialog.CheckBox4 = true;
  w.Form().Button3Click();
  EXPECT_EQ(w.IniValue("Common", "ApStyle"), "2");
  EXPECT_EQ(w.IniValue("MinOptions", "MinimizeTo"), "3");
  EXPECT_EQ(w.IniValue("MinOptions", "IsRightClick"), "1");
  EXPECT_EQ(w.IniValue("Common", "LimitCount"), "9");  // the disabled group's values unchanged
  EXPECT_EQ(w.IniValue("Common", "TrayButton"), "2");
  EXPECT_EQ(w.corvalet->Host().optionsHidden, 1);
}

TEST(OptionsDialog, OkWritesThePlacesChangedInTheDialog) {
  DialogWorld w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  w.Pump();
  TMainForm& f = w.Form();
  int row = -1;
  for (int i = 0; i < w.Registry().AllIcons.Count(); ++i)
    if (w.Registry().AllIcons[i].TipText == "a") row = i;
  ASSERT_GE(row, 0);
  w.Registry().ListView1.SetSelected(row, true);
  w.Registry().ListView1.CheckRadio(IconPlace::Menu);  // at once, in memory only
  EXPECT_EQ(w.IniValue("Menu items", "Count"), "0");   // as saved when a was added
  f.Button3Click();
  EXPECT_EQ(w.IniValue("Menu items", "Count"), "1");
  EXPECT_EQ(w.IniValue("Menu items", "IM_0"), "C:\\Apps\\a.exe");
}

TEST(OptionsDialog, OkWithAReadOnlyFileIsRefusedAfterTheDialogIsHiddenAndGoesNoFurther) {
  DialogWorld w("[Common]\r\nApStyle=1\r\n");
  w.Form().Options1Click();
  w.Form().Dialog.ApStyle = 3;
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  const std::string file = w.Ini();
  const int pumps = w.desktop.PumpCount;
  // The refusal reaches the dialog's error handler, which shows it.
  try {
    w.Form().Button3Click();
    FAIL() << "no error";
  } catch (const SettingsWriteError& e) {
    EXPECT_STREQ(e.what(), "Unable to write to QLCvl.ini");
  }
  EXPECT_FALSE(w.Form().Dialog.Visible);
  EXPECT_EQ(w.corvalet->Host().optionsHidden, 1);
  EXPECT_EQ(w.Form().Options().ApStyle, 3);  // taken from the dialog before the save
  EXPECT_EQ(w.Ini(), file);
  EXPECT_EQ(w.desktop.PumpCount, pumps);  // no refresh of the own icon after the refusal
}

TEST(OptionsDialog, OddStoredValuesLeaveTheirGroupsAndOkStoresWhatTheGroupsSay) {
  DialogWorld w("[Common]\r\nTrayButton=7\r\nApStyle=9\r\n[MinOptions]\r\nMinimizeTo=0\r\n");
  EXPECT_EQ(w.Form().Dialog.TrayButton, 0);  // none of the three checked
  EXPECT_EQ(w.Form().Dialog.ApStyle, 1);     // the form's own choice stays
  EXPECT_EQ(w.Form().Dialog.MinimizeTo, 3);
  EXPECT_EQ(w.Button(), 0u);  // 7 behaves as 3
  w.Form().Button3Click();
  EXPECT_EQ(w.IniValue("Common", "TrayButton"), "0");
  EXPECT_EQ(w.IniValue("Common", "ApStyle"), "1");
  EXPECT_EQ(w.IniValue("MinOptions", "MinimizeTo"), "3");
}

TEST(OptionsDialog, TheClockChoiceActsAtOnceCancelKeepsItAndTheNextOpeningRereadsTheFile) {
  DialogWorld w;
  TMainForm& f = w.Form();
  ASSERT_NE(w.Button(), 0u);
  f.TrayButtonChoice(3);
  EXPECT_EQ(w.Button(), 0u);
  f.Button2Click();
  EXPECT_EQ(w.Button(), 0u);
  EXPECT_EQ(w.IniValue("Common", "TrayButton"), "1");  // Cancel saved nothing
  f.Options1Click();
  f.FormShow();  // the showing the host's ShowOptions brings
  EXPECT_NE(w.Button(), 0u);
  EXPECT_EQ(f.Dialog.TrayButton, 1);
}

TEST(OptionsDialog, SetDefaultChangesTheLiveSettingsAndSavesNothing) {
  DialogWorld w("[Common]\r\nTrayButton=3\r\nApStyle=2\r\n[MinOptions]\r\nMinimizeTo=2\r\n");
  TMainForm& f = w.Form();
  const std::string before = w.Ini();
  f.Button5Click();
  EXPECT_EQ(f.Options().ApStyle, 1);
  EXPECT_EQ(f.Dialog.ApStyle, 1);
  EXPECT_EQ(f.Dialog.MinimizeTo, 1);
  EXPECT_EQ(f.Dialog.TrayButton, 1);
  EXPECT_NE(w.Button(), 0u);  // the clock button is applied at once
  EXPECT_EQ(w.Ini(), before);
  // Exit writes the live object.
  w.corvalet->Exit();
  EXPECT_EQ(w.IniValue("Common", "ApStyle"), "1");
}

TEST(OptionsDialog, OkWhileSwitchedOffHidesNothing) {
  DialogWorld w("[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  w.Pump();
  ASSERT_TRUE(w.Hidden(a, 1));
  w.Form().Enabled1Click();
  ASSERT_FALSE(w.Hidden(a, 1));
  w.Form().Options1Click();
  w.Form().FormShow();
  w.Form().Button3Click();
  EXPECT_FALSE(w.Hidden(a, 1));
}

TEST(OptionsDialog, ThePageBarSetsTheHeaderTextFromItsCaptions) {
  DialogWorld w;
  TMainForm& f = w.Form();
  EXPECT_EQ(f.Dialog.Page, 0);
  EXPECT_EQ(f.Dialog.Label7, "Tray Icons");
  f.SpeedItemClick(2);
  EXPECT_EQ(f.Dialog.Page, 2);
  EXPECT_EQ(f.Dialog.Label7, "Minimizer");
  f.DialogCaptions.SpeedItem2 = "Allgemein";
  f.SpeedItemClick(1);
  EXPECT_EQ(f.Dialog.Label7, "Allgemein");
  f.FormShow();  // every opening starts on the first page
  EXPECT_EQ(f.Dialog.Page, 0);
}

TEST(OptionsDialog, TheHeadersGreyRunsFromDarkOnTheLeftToLightOnTheRight) {
  const auto greys = HeaderGreys(545);
  ASSERT_EQ(greys.size(), 545u);
  EXPECT_EQ(greys.front(), 155);
  EXPECT_EQ(greys.back(), 215);
  for (std::size_t x = 1; x < greys.size(); ++x) EXPECT_GE(greys[x], greys[x - 1]);
  // Halves round to even: 60 / 120 * k is x.5 for odd k.
  const auto even = HeaderGreys(120);
  EXPECT_EQ(even[120 - 1], 255 - (0 + 40));  // k = 1: 0.5 rounds to 0
  EXPECT_EQ(even[120 - 3], 255 - (2 + 40));  // k = 3: 1.5 rounds to 2
  EXPECT_EQ(even[120 - 5], 255 - (2 + 40));  // k = 5: 2.5 rounds to 2
  EXPECT_TRUE(HeaderGreys(0).empty());
}

}  // namespace
}  // namespace cvl::test

namespace cvl::test {
namespace {

TEST(AboutAndHelp, TheAboutBoxShowsTheVersionLabelOfTheLanguage) {
  DialogWorld w;
  w.Form().About1Click();
  EXPECT_EQ(w.corvalet->Host().aboutVersion, "Version 2.0");
  w.Form().DialogCaptions.VersionLabel = "Versie 2.0";
  w.Form().About1Click();
  EXPECT_EQ(w.corvalet->Host().aboutVersion, "Versie 2.0");
}

}  // namespace
}  // namespace cvl::test
