#include "settings/TOptions.h"

#include <gtest/gtest.h>

#include "SettingsDefaults.h"
#include "settings/IniFile.h"
#include "sim/SimDesktop.h"

namespace cvl {
namespace {

struct Settings : ::testing::Test {
  sim::SimDesktop desktop;
  TOptions options{desktop};
  void SetIni(const std::string& text) { desktop.Profile().SetFileText(kSettingsFile, text); }
  std::string Ini() { return desktop.Profile().FileText(kSettingsFile).value_or(""); }
};

TEST_F(Settings, MissingFileGivesEveryDefault) {
  options.Load(kSettingsFile);
  test::ExpectLoadDefaults(options);

  // SetDefault differs from a missing key on NewInCorvalet and keeps the lists and texts.
  options.CvlIconNames = {"x"};
  options.LangLib = "C:\\de.lng";
  options.ApStyle = 3;
  options.SetDefault();
  EXPECT_FALSE(options.NewInCorvalet);
  EXPECT_EQ(options.ApStyle, 1);
  EXPECT_EQ(options.CvlIconNames.size(), 1u);
  EXPECT_EQ(options.LangLib, "C:\\de.lng");
}

TEST(ParseProfileInteger, DecimalHexAndGarbage) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  };
  const Case cases[] = {
      {"12", 12},
      {"-7", -7},
      {" 5 ", 5},
      {"0x2", 2},
      {"0X1f", 31},
      {"$10", 16},
      {"$FFFFFFFF", -1},
      {"-$10", -16},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"", std::nullopt},
      {"yes", std::nullopt},
      {"abc", std::nullopt},
      {"12a", std::nullopt},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"$100000000", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseProfileInteger(c.text), c.value) << c.text;
}

TEST_F(Settings, ValuesThatAreNotNumbersGiveTheDefault) {
  SetIni(
      "[Common]\r\nApStyle=0x2\r\nEnabled=yes\r\nLimitEnable=7\r\nLimitCount=abc\r\n"
      "TrayButton=$3\r\n[MinOptions]\r\nIsRightClick=0\r\n");
  options.Load(kSettingsFile);
  EXPECT_EQ(options.ApStyle, 2);
  EXPECT_TRUE(options.Enabled);
  EXPECT_TRUE(options.LimitEnable);
  EXPECT_EQ(options.LimitCount, 16);
  EXPECT_EQ(options.TrayButton, 3);
  EXPECT_FALSE(options.IsRightClick);
}

TEST_F(Settings, ListsFollowTheirCountsAndLoadingTwiceDoesNotDouble) {
  SetIni(
      "[Tray Icons]\r\nIconsTrayLength=2\r\nTrayIcon0=a\r\nTrayIcon5=old\r\n"
      "IconsCvlLength=-1\r\nCvlIcon0=x\r\n");
  options.Load(kSettingsFile);
  options.Load(kSettingsFile);
  EXPECT_EQ(options.TrayIconNames, (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(options.CvlIconNames.empty());
}

TEST_F(Settings, AHugeCountIsReadOnlyToTenThousandEntries) {
  SetIni("[Tray Icons]\r\nIconsTrayLength=2147483647\r\nIconsCvlLength=10001\r\n");
  options.Load(kSettingsFile);
  EXPECT_EQ(options.TrayIconNames.size(), 10000u);
  EXPECT_EQ(options.CvlIconNames.size(), 10000u);
}

TEST_F(Settings, SaveFromScratchWritesEveryKeyInOrder) {
  options.Load(kSettingsFile);
  options.TrayIconNames = {"t0", "t1"};
  options.Save(kSettingsFile);
  EXPECT_EQ(Ini(),
            "[Tray Icons]\r\nNewInTray=0\r\nNewInCorvalet=1\r\nIconsTrayLength=2\r\n"
            "TrayIcon0=t0\r\nTrayIcon1=t1\r\nIconsCvlLength=0\r\n"
            "[Common]\r\nEnabled=1\r\nApStyle=1\r\nTrayButton=1\r\nLimitEnable=0\r\n"
            "LimitCount=16\r\nLangLib=\r\nCurLang=English\r\nPanelHotKey=0\r\n"
            "[MinOptions]\r\nIsRightClick=1\r\nHotKey=0\r\nMinimizeTo=1\r\n");
  TOptions again(desktop);
  again.Load(kSettingsFile);
  EXPECT_EQ(again.TrayIconNames, options.TrayIconNames);
}

TEST_F(Settings, SaveLeavesOtherSectionsAndOldListKeys) {
  SetIni(
      "[Panel items]\r\nCount=1\r\nIM_0=C:\\a.exe\r\nID_0=A\r\n"
      "[Tray Icons]\r\nIconsTrayLength=3\r\nTrayIcon0=a\r\nTrayIcon1=b\r\nTrayIcon2=c\r\n");
  options.Load(kSettingsFile);
  options.TrayIconNames = {"z"};
  options.Save(kSettingsFile);
  const std::string ini = Ini();
  EXPECT_EQ(ini.rfind("[Panel items]\r\nCount=1\r\nIM_0=C:\\a.exe\r\nID_0=A\r\n", 0), 0u);
  EXPECT_NE(ini.find("TrayIcon2=c"), std::string::npos);
  options.Load(kSettingsFile);
  EXPECT_EQ(options.TrayIconNames, (std::vector<std::string>{"z"}));
}

TEST_F(Settings, ARefusedWriteStopsTheSaveAndNamesTheFile) {
  int notified = 0;
  desktop.CreateWindow("TMinForm", "Quillon Dropsail", 0, 1,
                       [&](std::uint32_t msg, WParam w, LParam l) {
                         if (msg == kDropsailNotify && w == 1 && l == 1) ++notified;
                         return 0;
                       });
  options.Load(kSettingsFile);
  options.Save(kSettingsFile);
  EXPECT_EQ(notified, 1);

  desktop.Profile().SetReadOnly(kSettingsFile, true);
  options.ApStyle = 3;
  try {
    options.Save(kSettingsFile);
    FAIL() << "no error";
  } catch (const SettingsWriteError& e) {
    EXPECT_STREQ(e.what(), "Unable to write to QLCvl.ini");
  }
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(options.ApStyle, 3);
  desktop.Profile().SetReadOnly(kSettingsFile, false);
  options.Load(kSettingsFile);
  EXPECT_EQ(options.ApStyle, 1);
}

TEST_F(Settings, AHungSiblingDoesNotHangTheSave) {
  const Hwnd sibling = desktop.CreateWindow("TMinForm", "Quillon Dropsail", 0, 1);
  desktop.Window(sibling)->hung = true;
  options.Save(kSettingsFile);
  EXPECT_EQ(desktop.BlockedSends, 0);
}

}  // namespace
}  // namespace cvl
