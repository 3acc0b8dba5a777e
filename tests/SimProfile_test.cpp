// The profile model must behave like the Windows functions, or the settings tests prove
// nothing about the file the user gets.
#include "sim/SimProfile.h"

#include <gtest/gtest.h>

namespace cvl::sim {
namespace {

TEST(SimProfile, BareNamesLiveInTheWindowsDirectory) {
  SimProfile p;
  ASSERT_TRUE(p.Write("S", std::string("k"), std::string("v"), "QLCvl.ini"));
  EXPECT_TRUE(p.FileText("C:\\WINDOWS\\QLCvl.ini"));
  EXPECT_TRUE(p.FileText("c:\\windows\\qlcvl.INI"));
  EXPECT_FALSE(p.FileText("C:\\Other\\QLCvl.ini"));
  EXPECT_EQ(p.Get("S", "k", "d", 2048, "C:\\WINDOWS\\QLCvl.ini"), "v");
}

TEST(SimProfile, ReadsMatchCaseInsensitivelyAndDropOnePairOfQuotes) {
  SimProfile p;
  p.SetFileText("a.ini",
                "; comment\r\n[Common]\r\n ApStyle = 2 \r\nQuoted=\"x y\"\r\nSingle='z'\r\n"
                "Half=\"q\r\nEmpty=\r\n[Other]\r\nApStyle=9\r\n");
  EXPECT_EQ(p.Get("common", "APSTYLE", "d", 2048, "a.ini"), "2");
  EXPECT_EQ(p.Get("Common", "Quoted", "d", 2048, "a.ini"), "x y");
  EXPECT_EQ(p.Get("Common", "Single", "d", 2048, "a.ini"), "z");
  EXPECT_EQ(p.Get("Common", "Half", "d", 2048, "a.ini"), "\"q");
  EXPECT_EQ(p.Get("Common", "Empty", "d", 2048, "a.ini"), "");
  EXPECT_EQ(p.Get("Common", "Missing", "d", 2048, "a.ini"), "d");
  EXPECT_EQ(p.Get("Nope", "ApStyle", "d", 2048, "a.ini"), "d");
  EXPECT_EQ(p.Get("S", "k", "d", 2048, "missing.ini"), "d");
}

TEST(SimProfile, ReadsGoThroughTheBuffer) {
  SimProfile p;
  p.SetFileText("a.ini", "[S]\r\nk=" + std::string(3000, 'x') + "\r\n");
  EXPECT_EQ(p.Get("S", "k", "", 2048, "a.ini").size(), 2047u);
}

TEST(SimProfile, WritesChangeOneLineAndAppendWhereWindowsDoes) {
  SimProfile p;
  p.SetFileText("a.ini", "; top\r\n[A]\r\nx=1\r\n; inside\r\ny=2\r\n\r\n[B]\r\nz=3\r\n");
  ASSERT_TRUE(p.Write("a", std::string("X"), std::string("10"), "a.ini"));   // existing key
  ASSERT_TRUE(p.Write("A", std::string("new"), std::string("n"), "a.ini"));  // end of section
  ASSERT_TRUE(p.Write("C", std::string("w"), std::string("4"), "a.ini"));    // end of file
  EXPECT_EQ(*p.FileText("a.ini"),
            "; top\r\n[A]\r\nx=10\r\n; inside\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n[C]\r\nw=4\r\n");
}

TEST(SimProfile, NullValueDeletesAndReadOnlyRefuses) {
  SimProfile p;
  p.SetFileText("a.ini", "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n");
  ASSERT_TRUE(p.Write("A", std::string("x"), std::nullopt, "a.ini"));
  ASSERT_TRUE(p.Write("B", std::nullopt, std::nullopt, "a.ini"));
  EXPECT_EQ(*p.FileText("a.ini"), "[A]\r\ny=2\r\n");
  p.SetReadOnly("a.ini", true);
  EXPECT_FALSE(p.Write("A", std::string("y"), std::string("5"), "a.ini"));
  EXPECT_EQ(p.Get("A", "y", "", 2048, "a.ini"), "2");
}

}  // namespace
}  // namespace cvl::sim
