// Language libraries: every key reaches its caption, a missing key keeps the caption, a file
// that is no library changes nothing and is not remembered, and the shipped libraries are whole.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "World.h"

namespace cvl::test {
namespace {

const std::string kSection = "[Localization library for Quillon Corvalet v2.0]\r\n";

// The keys of single captions, in the library's order ("Version", "CurrentLang" and
// "Language" make the two joined ones).
const std::vector<std::string> kCaptionKeys = {
    "TrayIcons",     "Icons",       "IconsInTray",   "ItemOptions", "InTray",    "InPanel",
    "InMenu",        "Common",      "ApStyle",       "ApInTray",    "ApInPanel", "ApInMenu",
    "TrayButton",    "ForTray",     "ForClock",      "NotButton",   "INumber",   "ShowNoMore",
    "IInTray",       "AllOther",    "Localization",  "Load",        "Minimizer", "MinOptions",
    "MinWindows",    "MinToTray",   "MinToPanel",    "MinToMenu",   "SetDef",    "AboutStr",
    "HelpStr",       "OptionsStr",  "EnabledStr",    "ExitStr",     "MinHotKey", "HotKeyTaken",
    "ShiftKeyTaken", "PanelHotKey", "PanelKeyTaken", "PanelStr",    "PanelName", "ButtonName"};

std::string Shipped(const std::string& name) {
  std::ifstream in(std::string(CORVALET_SOURCE_DIR) + "/packaging/" + name, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct LanguageWorld : World {
  LanguageWorld() { EXPECT_TRUE(corvalet->Start()); }
  TMainForm& Form() { return corvalet->Form(); }
  bool Load(const std::string& text, const std::string& path = "C:\\Corvalet\\x.lng") {
    desktop.Profile().SetFileText(path, text);
    TLocal local(desktop);
    return local.LoadLanguage(path, Form().DialogCaptions, Form().RxPopupMenu1);
  }
};

TEST(Language, AKeyReachesItsCaptionAndAMissingKeyKeepsIt) {
  LanguageWorld w;
  ASSERT_TRUE(w.Load(kSection + "load=Laden\r\n"));  // any letter case
  const Captions& c = w.Form().DialogCaptions;
  EXPECT_EQ(c.Button1, "Laden");
  EXPECT_EQ(c.SpeedItem1, "Tray Icons");  // kept, not emptied
  EXPECT_EQ(w.Form().RxPopupMenu1.Items.back().Caption, "Exit");
  ASSERT_TRUE(w.Load("[LOCALIZATION LIBRARY FOR QUILLON CORVALET V2.0]\r\nTrayIcons=\r\n"));
  EXPECT_EQ(c.SpeedItem1, "");  // present and empty: emptied
  EXPECT_EQ(c.Button1, "Laden");
}

TEST(Language, EveryValueIsTakenWholeUpToTheReadBuffer) {
  LanguageWorld w;
  // A value that equals a default the missing-key test reads with is still a value, and one
  // longer than 255 characters comes whole through the 2048-byte buffer; 2047 at the most.
  const std::string longer(300, 'L'), longest(2100, 'M');
  ASSERT_TRUE(w.Load(kSection + "Load=-\r\nCommon=+\r\nIcons=" + longer +
                     "\r\nLocalization=" + longest + "\r\n"));
  const Captions& c = w.Form().DialogCaptions;
  EXPECT_EQ(c.Button1, "-");
  EXPECT_EQ(c.SpeedItem2, "+");
  EXPECT_EQ(c.GroupBox1, longer);
  EXPECT_EQ(c.GroupBox4, std::string(2047, 'M'));
  EXPECT_EQ(c.SpeedItem1, "Tray Icons");  // missing, kept
}

TEST(Language, TheTwoJoinedCaptionsAndTheMenuCountedAtLoading) {
  World w(90, true);
  w.SetIni(
      "[Menu items]\r\nCount=3\r\nIM_0=C:\\a.exe\r\nID_0=W\r\nIM_1=C:\\b.exe\r\nID_1=W\r\n"
      "IM_2=C:\\c.exe\r\nID_2=W\r\n");
  for (const char* exe : {"C:\\a.exe", "C:\\b.exe", "C:\\c.exe"})
    w.Program(exe, "W").AddIcon(1, exe);
  ASSERT_TRUE(w.corvalet->Start());
  TMainForm& f = w.corvalet->Form();
  f.RxPopupMenu1Popup();
  ASSERT_EQ(f.RxPopupMenu1.Count(), 12);
  w.desktop.Profile().SetFileText(
      "nl.lng", kSection +
                    "Version=Versie\r\nCurrentLang=Taal:\r\nLanguage=Nederlands\r\n"
                    "AboutStr=Info\r\nHelpStr=Hulp\r\nOptionsStr=Opties\r\n"
                    "EnabledStr=Aan\r\nExitStr=Afsluiten\r\n");
  TLocal local(w.desktop);
  // One half alone keeps the other: the label splits after the colon, not at its first blank.
  w.desktop.Profile().SetFileText("half.lng", kSection + "Language=Frysk\r\n");
  ASSERT_TRUE(local.LoadLanguage("half.lng", f.DialogCaptions, f.RxPopupMenu1));
  EXPECT_EQ(f.DialogCaptions.Label5, "Current language: Frysk");
  ASSERT_TRUE(local.LoadLanguage("nl.lng", f.DialogCaptions, f.RxPopupMenu1));
  EXPECT_EQ(f.DialogCaptions.VersionLabel, "Versie 2.0");
  EXPECT_EQ(f.DialogCaptions.Label5, "Taal: Nederlands");
  const auto& items = f.RxPopupMenu1.Items;
  EXPECT_EQ(items[0].Caption, "Info");
  EXPECT_EQ(items[1].Caption, "Hulp");
  EXPECT_EQ(items[3].Caption, "Opties");
  EXPECT_EQ(items[10].Caption, "Aan");
  EXPECT_EQ(items[11].Caption, "Afsluiten");
  EXPECT_EQ(items[kIconEntriesAt].Caption, "C:\\c.exe");  // icon entries untouched
  // Only one half of the joined caption: the other half stays.
  ASSERT_TRUE(local.LoadLanguage("nl.lng", f.DialogCaptions, f.RxPopupMenu1));
  ASSERT_TRUE(local.LoadLanguage("half.lng", f.DialogCaptions, f.RxPopupMenu1));
  EXPECT_EQ(f.DialogCaptions.Label5, "Taal: Frysk");
}

TEST(Language, AFileThatIsNoLibraryChangesNothingAndIsNotRemembered) {
  LanguageWorld w;
  const Captions before = w.Form().DialogCaptions;
  EXPECT_FALSE(w.Load("[Something else]\r\nLoad=x\r\n"));
  EXPECT_EQ(w.Form().DialogCaptions.Button1, before.Button1);
  EXPECT_EQ(w.Form().DialogCaptions.Label5, before.Label5);
  EXPECT_EQ(w.Form().RxPopupMenu1.Items.back().Caption, "Exit");

  auto& host = w.corvalet->Host();
  w.desktop.Profile().SetFileText("C:\\nolib.lng", "just text\r\n");
  host.languageChoice = "C:\\nolib.lng";
  w.Form().Button1Click();
  EXPECT_EQ(w.Form().Options().LangLib, "");
  EXPECT_EQ(host.languageDialogDirectory, "C:\\Program Files\\Corvalet\\");
  w.desktop.Profile().SetFileText("C:\\de.lng", Shipped("Deutsch.lng"));
  host.languageChoice = "C:\\de.lng";
  w.Form().Button1Click();
  EXPECT_EQ(w.Form().Options().LangLib, "C:\\de.lng");
  EXPECT_EQ(w.Form().DialogCaptions.Button1, "Sprachdatei laden");
  host.languageChoice.reset();  // cancelled: nothing changes
  w.Form().Button1Click();
  EXPECT_EQ(w.Form().Options().LangLib, "C:\\de.lng");
}

TEST(Language, TheSavedLibraryIsAppliedAtStartOnlyWhenItsFileExists) {
  World present;
  present.desktop.Profile().SetFileText("C:\\de.lng", Shipped("Deutsch.lng"));
  present.SetIni("[Common]\r\nLangLib=C:\\de.lng\r\n");
  ASSERT_TRUE(present.corvalet->Start());
  EXPECT_EQ(present.corvalet->Form().RxPopupMenu1.Items.back().Caption, "Beenden");
  World gone;
  gone.SetIni("[Common]\r\nLangLib=C:\\gone.lng\r\n");
  ASSERT_TRUE(gone.corvalet->Start());
  EXPECT_EQ(gone.corvalet->Form().RxPopupMenu1.Items.back().Caption, "Exit");
  EXPECT_TRUE(gone.corvalet->Host().errors.empty());
}

TEST(Language, TheShippedLibrariesHoldEveryKey) {
  std::vector<std::string> keys = kCaptionKeys;
  keys.insert(keys.end(), {"Version", "CurrentLang", "Language"});
  for (const char* file : {"English.lng", "Deutsch.lng"}) {
    sim::SimProfile profile;
    profile.SetFileText(file, Shipped(file));
    for (const std::string& key : keys)
      EXPECT_NE(
          profile.Get("Localization library for Quillon Corvalet v2.0", key, "<none>", 2048, file),
          "<none>")
          << file << " " << key;
  }
  // English gives back exactly the built-in captions.
  LanguageWorld w;
  const Captions builtIn;
  w.Form().DialogCaptions.Button1 = "changed";
  w.Form().RxPopupMenu1.Items[0].Caption = "changed";
  ASSERT_TRUE(w.Load(Shipped("English.lng")));
  const Captions& c = w.Form().DialogCaptions;
  EXPECT_EQ(c.Button1, builtIn.Button1);
  EXPECT_EQ(c.GroupBox1, builtIn.GroupBox1);
  EXPECT_EQ(c.CheckBox4, builtIn.CheckBox4);
  EXPECT_EQ(c.Label5, builtIn.Label5);
  EXPECT_EQ(c.VersionLabel, builtIn.VersionLabel);
  EXPECT_EQ(w.Form().RxPopupMenu1.Items[0].Caption, "About");
}

TEST(SwitchedOff, AnEndOfSessionThatWasCancelledSwitchesNothingOff) {
  World w;
  w.SetIni(kAInPanel);
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  w.corvalet->Form().WndProc(kWmEndSession, 0, 0);  // the shutdown was cancelled
  EXPECT_TRUE(w.Hidden(a, 1));
  EXPECT_TRUE(w.hook->Serving());
  w.corvalet->Form().WndProc(kWmEndSession, 1, 0);
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_FALSE(w.hook->Installed());
}

TEST(SwitchedOff, ShowingTheDialogWhileOffHidesNothingAndKeepsThePlaces) {
  World w;
  w.SetIni(kAInPanel);
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  TMainForm& f = w.corvalet->Form();
  f.Enabled1Click();
  ASSERT_FALSE(w.Hidden(a, 1));
  f.FormShow();  // the options dialog opened while off
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_EQ(w.Registry().PanelList.Count(), 0);
  EXPECT_EQ(w.Registry().Memory.PanelMemory.Count(), 1);
  f.Enabled1Click();  // the places come back with the switch
  EXPECT_TRUE(w.Hidden(a, 1));
}

}  // namespace
}  // namespace cvl::test

namespace cvl::test {
namespace {

TEST(Language, EachKeyReachesExactlyItsOwnCaption) {
  // Every value names its key: a key wired to the wrong caption shows there.
  std::string text = kSection + "Version=V\r\nCurrentLang=C\r\nLanguage=L\r\n";
  for (const std::string& key : kCaptionKeys) text += key + "=" + key + "\r\n";
  LanguageWorld w;
  ASSERT_TRUE(w.Load(text));
  const Captions& c = w.Form().DialogCaptions;
  const std::vector<std::pair<std::string, std::string>> got = {{c.SpeedItem1, "TrayIcons"},
                                                                {c.GroupBox1, "Icons"},
                                                                {c.ListView1Column, "IconsInTray"},
                                                                {c.GroupBox7, "ItemOptions"},
                                                                {c.RadioButton10, "InTray"},
                                                                {c.RadioButton11, "InPanel"},
                                                                {c.RadioButton12, "InMenu"},
                                                                {c.SpeedItem2, "Common"},
                                                                {c.GroupBox2, "ApStyle"},
                                                                {c.RadioButton1, "ApInTray"},
                                                                {c.RadioButton2, "ApInPanel"},
                                                                {c.RadioButton3, "ApInMenu"},
                                                                {c.GroupBox6, "TrayButton"},
                                                                {c.RadioButton7, "ForTray"},
                                                                {c.RadioButton8, "ForClock"},
                                                                {c.RadioButton9, "NotButton"},
                                                                {c.GroupBox3, "INumber"},
                                                                {c.CheckBox3, "ShowNoMore"},
                                                                {c.Label3, "IInTray"},
                                                                {c.Label4, "AllOther"},
                                                                {c.GroupBox4, "Localization"},
                                                                {c.Button1, "Load"},
                                                                {c.SpeedItem3, "Minimizer"},
                                                                {c.GroupBox5, "MinOptions"},
                                                                {c.CheckBox4, "MinWindows"},
                                                                {c.RadioButton4, "MinToTray"},
                                                                {c.RadioButton5, "MinToPanel"},
                                                                {c.RadioButton6, "MinToMenu"},
                                                                {c.Label8, "MinHotKey"},
                                                                {c.HotKeyTaken, "HotKeyTaken"},
                                                                {c.ShiftKeyTaken, "ShiftKeyTaken"},
                                                                {c.PanelKeyLabel, "PanelHotKey"},
                                                                {c.PanelKeyTaken, "PanelKeyTaken"},
                                                                {c.Button5, "SetDef"},
                                                                {c.PanelName, "PanelName"},
                                                                {c.TrayButtonName, "ButtonName"},
                                                                {c.VersionLabel, "V 2.0"},
                                                                {c.Label5, "C L"}};
  for (const auto& [caption, wanted] : got) EXPECT_EQ(caption, wanted);
  const auto& items = w.Form().RxPopupMenu1.Items;
  EXPECT_EQ(items[0].Caption, "AboutStr");
  EXPECT_EQ(items[1].Caption, "HelpStr");
  EXPECT_EQ(items[3].Caption, "OptionsStr");
  EXPECT_EQ(items[kMenuPanel].Caption, "PanelStr");
  EXPECT_EQ(items[items.size() - 2].Caption, "EnabledStr");
  EXPECT_EQ(items.back().Caption, "ExitStr");
}

}  // namespace
}  // namespace cvl::test
