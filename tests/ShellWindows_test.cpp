#include "shell/ShellWindows.h"

#include <gtest/gtest.h>

#include "World.h"
#include "sim/SimTaskbar.h"

namespace cvl {
namespace {

TEST(WindowsVersionCode, FollowsTheTable) {
  struct Case {
    std::uint32_t platform, major, minor;
    int code;
  };
  const Case cases[] = {{1, 2, 0, 10}, {1, 3, 0, 20}, {1, 4, 10, 30}, {1, 4, 90, 30}, {1, 5, 0, 40},
                        {1, 6, 0, 0},  {2, 2, 0, 50}, {2, 3, 51, 60}, {2, 4, 0, 70},  {2, 5, 0, 80},
                        {2, 5, 1, 90}, {2, 5, 2, 0},  {2, 6, 1, 0},   {0, 4, 0, 0},   {3, 5, 1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsVersionCode(OsVersionInfo{c.major, c.minor, 0, c.platform}), c.code)
        << c.platform << " " << c.major << "." << c.minor;
  }
}

struct TreeCase {
  int treeCode;     // which tree the taskbar builds
  int versionCode;  // what the system reports
  const char* toolbar;
};

class ToolbarLookup : public ::testing::TestWithParam<TreeCase> {};

TEST_P(ToolbarLookup, FindsTheToolbarForTheVersion) {
  const TreeCase c = GetParam();
  sim::SimDesktop desktop;
  sim::SimTaskbar taskbar(desktop, c.treeCode);
  desktop.SetVersion(test::VersionFor(c.versionCode));
  const ShellWindows w = FindShellWindows(desktop);
  EXPECT_EQ(w.Taskbar, taskbar.Taskbar());
  EXPECT_EQ(w.NotifyArea, taskbar.NotifyArea());
  EXPECT_EQ(w.Clock, taskbar.Clock());
  const std::string which = c.toolbar;
  const Hwnd expected = which == "toolbar"  ? taskbar.Toolbar()
                        : which == "notify" ? taskbar.NotifyArea()
                                            : 0;
  EXPECT_EQ(w.Toolbar, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Trees, ToolbarLookup,
    ::testing::Values(TreeCase{90, 90, "toolbar"},  // XP: under SysPager
                      TreeCase{80, 80, "toolbar"},  // 2000: straight under the notification area
                      TreeCase{90, 80, "none"},     // 2000 lookup on an XP tree finds nothing
                      TreeCase{30, 30, "notify"},   // 9x: the notification area itself
                      TreeCase{90, 0, "toolbar"},   // newer than XP: built like XP
                      TreeCase{80, 0, "toolbar"},   // ... or with the toolbar straight under
                      TreeCase{30, 0, "notify"}),   // ... and only then the area itself
    [](const ::testing::TestParamInfo<TreeCase>& info) {
      return "tree" + std::to_string(info.param.treeCode) + "_version" +
             std::to_string(info.param.versionCode);
    });

// The 9x line and NT before 2000: a toolbar the notification area holds, under a SysPager or
// straight under it, is the tray toolbar; only a tray without one takes the messages itself.
TEST(ShellWindows, EarlierVersionsTakeAToolbarWhereverTheTrayHoldsOne) {
  const OsVersionInfo versions[] = {{2, 0, 0, 1}, {3, 0, 0, 1}, {4, 10, 2222, 1}, {4, 90, 3000, 1},
                                    {5, 0, 0, 1}, {2, 0, 0, 2}, {3, 51, 1057, 2}, {4, 0, 1381, 2}};
  for (const int tree : {90, 80, 30}) {
    for (const OsVersionInfo& version : versions) {
      sim::SimDesktop desktop;
      sim::SimTaskbar taskbar(desktop, tree);
      desktop.SetVersion(version);
      const ShellWindows w = FindShellWindows(desktop);
      const Hwnd expected = tree == 30 ? taskbar.NotifyArea() : taskbar.Toolbar();
      EXPECT_EQ(w.Toolbar, expected) << "tree " << tree << ", code " << WindowsVersionCode(version);
    }
  }
}

// A pager that holds nothing does not hide a toolbar beside it.
TEST(ShellWindows, AnEmptyPagerLeavesTheToolbarBesideIt) {
  for (const int code : {30, 0}) {
    sim::SimDesktop desktop;
    sim::SimTaskbar taskbar(desktop, 80);
    desktop.CreateWindow("SysPager", "", taskbar.NotifyArea(), taskbar.ProcessId());
    desktop.SetVersion(test::VersionFor(code));
    EXPECT_EQ(FindShellWindows(desktop).Toolbar, taskbar.Toolbar()) << code;
  }
}

TEST(ShellWindows, NoTaskbarGivesFourNullHandles) {
  sim::SimDesktop desktop;
  // A stray top-level window of a tray class is not the tray.
  desktop.CreateWindow("TrayNotifyWnd", "", 0, 1);
  desktop.CreateWindow("ToolbarWindow32", "", 0, 1);
  for (int code : {90, 80, 30, 0}) {
    desktop.SetVersion(test::VersionFor(code));
    const ShellWindows w = FindShellWindows(desktop);
    EXPECT_EQ(w.Taskbar, 0u);
    EXPECT_EQ(w.NotifyArea, 0u);
    EXPECT_EQ(w.Clock, 0u);
    EXPECT_EQ(w.Toolbar, 0u);
  }
}

}  // namespace
}  // namespace cvl
