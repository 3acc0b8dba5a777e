#pragma once
// What loading gives for every setting when its key is not where it belongs.
#include <gtest/gtest.h>

#include "settings/TOptions.h"

namespace cvl::test {

inline void ExpectLoadDefaults(const TOptions& options) {
  EXPECT_FALSE(options.NewInTray);
  EXPECT_TRUE(options.NewInCorvalet);
  EXPECT_TRUE(options.TrayIconNames.empty());
  EXPECT_TRUE(options.CvlIconNames.empty());
  EXPECT_TRUE(options.Enabled);
  EXPECT_EQ(options.ApStyle, 1);
  EXPECT_EQ(options.TrayButton, 1);
  EXPECT_FALSE(options.LimitEnable);
  EXPECT_EQ(options.LimitCount, 16);
  EXPECT_EQ(options.LangLib, "");
  EXPECT_EQ(options.CurLang, "English");
  EXPECT_TRUE(options.IsRightClick);
  EXPECT_EQ(options.HotKey, 0);
  EXPECT_EQ(options.MinimizeTo, 1);
}

}  // namespace cvl::test
