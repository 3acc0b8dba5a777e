// Where the settings go when the Windows folder refuses them, as a limited account meets it.
#include <gtest/gtest.h>

#include "World.h"

namespace cvl::test {
namespace {

constexpr const char* kAppData = "C:\\Documents and Settings\\Ann\\Application Data";
constexpr const char* kUserCopy =
    "C:\\Documents and Settings\\Ann\\Application Data\\Quillon\\QLCvl.ini";

// A file as the profile functions write it, holding options, a remembered program, a key this
// version does not know, another program's section and a value longer than a read's buffer.
std::string StartingFile() {
  return "[Tray Icons]\r\nNewInTray=0\r\nIconsCvlLength=1\r\nCvlIcon0=x\r\n"
         "[Common]\r\nApStyle=2\r\nEnabled=1\r\nFuture=kept\r\n"
         "[Panel items]\r\nCount=1\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n"
         "[Other program]\r\nLong=" +
         std::string(3000, 'v') + "\r\n";
}

struct Limited : ::testing::Test {
  World w;
  int notified = 0;

  void SetUp() override {
    w.desktop.AppDataFolder = kAppData;
    w.SetIni(StartingFile());
    w.desktop.CreateWindow("TMinForm", "Quillon Dropsail", 0, 1,
                           [this](std::uint32_t msg, WParam, LParam) {
                             notified += msg == kDropsailNotify;
                             return 0;
                           });
  }
  std::optional<std::string> UserCopy() { return w.desktop.Profile().FileText(kUserCopy); }
  std::string UserValue(const std::string& section, const std::string& key) {
    return w.desktop.Profile().Get(section, key, "<missing>", 4096, kUserCopy);
  }
  const std::vector<std::string>& Errors() { return w.corvalet->Host().errors; }
};

// What the Windows folder's file holds after a start, a new icon (b, into the panel) and an
// exit, when it can be written: the user's copy must hold the same bytes.
std::string WrittenWhereWritable() {
  World w;
  w.SetIni(StartingFile());
  w.corvalet->Start();
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  w.Pump();
  w.corvalet->Exit();
  return w.Ini();
}

TEST_F(Limited, ARefusedWindowsFolderMovesEverythingToTheUsersFolder) {
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(notified, 1);  // the start's save, in the Windows folder
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  const std::string windowsFile = w.Ini();

  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  b.AddIcon(1, "b");
  w.Pump();
  EXPECT_TRUE(Errors().empty());
  EXPECT_TRUE(w.Hidden(b, 1));
  ASSERT_TRUE(UserCopy());
  EXPECT_TRUE(w.Ini() == windowsFile);  // the Windows folder's file as it was
  // What was there before, known to this version or not, and the save that was refused there.
  EXPECT_EQ(UserValue("Common", "Future"), "kept");
  EXPECT_EQ(UserValue("Tray Icons", "CvlIcon0"), "x");
  EXPECT_TRUE(UserValue("Other program", "Long") == std::string(3000, 'v'));
  EXPECT_EQ(UserValue("Panel items", "IM_0"), "C:\\Apps\\a.exe");
  EXPECT_EQ(UserValue("Panel items", "Count"), "2");
  EXPECT_EQ(UserValue("Panel items", "IM_1"), "C:\\Apps\\b.exe");

  // From then on the copy is written, and the sibling still hears of each save.
  w.corvalet->Exit();
  EXPECT_EQ(notified, 2);
  EXPECT_TRUE(Errors().empty());
  EXPECT_TRUE(w.Ini() == windowsFile);
  // The copy holds the very bytes the Windows folder's file would have held.
  const std::string expected = WrittenWhereWritable();
  EXPECT_TRUE(*UserCopy() == expected) << "user's copy:\n"
                                       << *UserCopy() << "\nexpected:\n"
                                       << expected;
}

TEST_F(Limited, TheNextStartReadsTheUsersCopyFirst) {
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  ASSERT_TRUE(w.corvalet->Start());  // the start's save moves the settings at once
  ASSERT_TRUE(UserCopy());
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  b.AddIcon(1, "b");
  w.Pump();
  w.corvalet->Exit();
  ASSERT_FALSE(w.Hidden(b, 1));

  // Even with the Windows folder writable again, its file is neither read nor written: the
  // icon keeps the place the copy remembers, where the Windows folder's file knows none.
  w.desktop.Profile().SetReadOnly("QLCvl.ini", false);
  w.SetIni("[Common]\r\nApStyle=3\r\n");
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(PlaceOf(w.Registry(), "b"), IconPlace::Panel);
  EXPECT_TRUE(w.Hidden(b, 1));
  EXPECT_EQ(w.corvalet->Form().Options().ApStyle, 2);
  w.corvalet->Exit();
  EXPECT_EQ(w.Ini(), "[Common]\r\nApStyle=3\r\n");
  EXPECT_EQ(UserValue("Panel items", "IM_1"), "C:\\Apps\\b.exe");
  EXPECT_TRUE(Errors().empty());
}

// The disk fills up while the settings are copied: no copy cut short is ever taken for the
// settings, here or at the next start, and the next refused save copies them whole.
TEST_F(Limited, ACopyCutShortIsNeverFoundFirst) {
  ASSERT_TRUE(w.corvalet->Start());
  w.desktop.RefuseWritesTo = "\\Quillon\\";
  w.desktop.WritesBeforeRefusal = 3;
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  b.AddIcon(1, "b");
  w.Pump();
  EXPECT_FALSE(UserCopy());
  ASSERT_EQ(Errors().size(), 1u) << "neither place took the save";
  w.desktop.Profile().SetReadOnly("QLCvl.ini", false);
  w.corvalet->Exit();

  // The next start reads the Windows folder's file, all of it, and writes it there.
  w.desktop.Profile().SetFileText("QLCvl.ini", StartingFile());
  ASSERT_TRUE(w.corvalet->Start());
  EXPECT_EQ(w.corvalet->Form().Options().ApStyle, 2);
  EXPECT_EQ(PlaceOf(w.Registry(), "b"), IconPlace::Unplaced);
  EXPECT_FALSE(UserCopy());
  EXPECT_EQ(w.IniValue("Common", "Future"), "kept");
  // With room again, a refused save copies everything and moves.
  w.desktop.RefuseWritesTo.clear();
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  w.corvalet->Exit();
  ASSERT_TRUE(UserCopy());
  EXPECT_EQ(UserValue("Common", "Future"), "kept");
  EXPECT_TRUE(UserValue("Other program", "Long") == std::string(3000, 'v'));
  EXPECT_EQ(UserValue("Panel items", "IM_0"), "C:\\Apps\\a.exe");
  EXPECT_EQ(Errors().size(), 1u);
}

TEST_F(Limited, AWritableWindowsFolderLeavesTheUsersFolderAlone) {
  ASSERT_TRUE(w.corvalet->Start());
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  w.Pump();
  w.corvalet->Exit();
  EXPECT_EQ(w.IniValue("Panel items", "IM_1"), "C:\\Apps\\b.exe");
  EXPECT_FALSE(UserCopy());
  EXPECT_TRUE(w.desktop.MadeFolders().empty());
}

TEST_F(Limited, OnlyWhenNeitherPlaceTakesTheSaveIsItReportedOnce) {
  // The user's folder cannot be made either.
  w.desktop.RefuseFolders = true;
  ASSERT_TRUE(w.corvalet->Start());
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  w.Pump();
  w.Program("C:\\Apps\\c.exe", "CWnd").AddIcon(1, "c");
  w.Pump();
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "Unable to write to QLCvl.ini");
  EXPECT_FALSE(UserCopy());
  EXPECT_EQ(notified, 1);
}

TEST_F(Limited, AnUnwritableUsersCopyIsReportedByItsNameAndNeverLeft) {
  w.desktop.Profile().SetFileText(kUserCopy, StartingFile());
  ASSERT_TRUE(w.corvalet->Start());
  const std::string windowsFile = w.Ini();
  const std::string userFile = *UserCopy();
  w.desktop.Profile().SetReadOnly(kUserCopy, true);
  w.Program("C:\\Apps\\b.exe", "BWnd").AddIcon(1, "b");
  w.Pump();
  w.Program("C:\\Apps\\c.exe", "CWnd").AddIcon(1, "c");
  w.Pump();
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], std::string("Unable to write to ") + kUserCopy);
  // The Windows folder's file, writable as it is, is not gone back to.
  EXPECT_TRUE(w.Ini() == windowsFile);
  EXPECT_TRUE(*UserCopy() == userFile);
}

TEST_F(Limited, WithoutTheUsersFolderARefusalIsReportedAsBefore) {
  w.desktop.AppDataFolder.reset();  // no shfolder.dll
  ASSERT_TRUE(w.corvalet->Start());
  w.desktop.Profile().SetReadOnly("QLCvl.ini", true);
  w.corvalet->Exit();
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "Unable to write to QLCvl.ini");
  EXPECT_TRUE(w.desktop.MadeFolders().empty());
}

}  // namespace
}  // namespace cvl::test
