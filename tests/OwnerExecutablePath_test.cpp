// The owner's executable path, walked from its modules or asked for directly.
#include <gtest/gtest.h>

#include "World.h"
#include "registry/OwnerExecutablePath.h"

namespace cvl::test {
namespace {

// With the direct lookup of a process's own module or without it (Windows 9x), the same path.
TEST(OwnerExecutablePath, WalksTheModulesAsStated) {
  const std::string longName = "C:\\" + std::string(255, 'x') + ".exe";
  const std::string ntLong = "C:\\" + std::string(248, 'x') + ".exe";  // fills NT's field
  const struct {
    std::vector<sim::SimModule> modules;
    std::string path;
    bool walked;  // with the lookup too
  } cases[] = {
      {{{1, "APP.EXE", "C:\\APP.EXE"}, {2, "hook.dll", "C:\\hook.dll"}}, "C:\\APP.EXE", false},
      {{{1, "hook.dll", "C:\\hook.dll"}, {2, "APP.EXE", "C:\\APP.EXE"}}, "C:\\APP.EXE", true},
      // The executable between other modules: the walk stops there, neither first nor last.
      {{{1, "hook.dll", "C:\\hook.dll"}, {2, "app.exe", "C:\\app.exe"}, {3, "l.dll", "C:\\l.dll"}},
       "C:\\app.exe",
       true},
      // A nameless module does not match; no name ending in E gives the last module read.
      {{{1, "", "C:\\x"}, {2, "a.dll", "C:\\a.dll"}, {3, "b.drv", "C:\\b.drv"}}, "C:\\b.drv", true},
      {{{1, "", "C:\\dir.e\\"}, {2, "b.drv", "C:\\b.drv"}}, "C:\\b.drv", true},
      {{{1, "a.scr", "C:\\a.scr"}, {2, "b.exe", "C:\\b.exe"}}, "C:\\b.exe", true},
      // A null module handle ends the walk where it stands.
      {{{1, "a.dll", "C:\\a.dll"}, {0, "z.dll", "C:\\z.dll"}, {3, "c.exe", "C:\\c.exe"}},
       "C:\\z.dll",
       true},
      // A path the snapshot's field cuts is the snapshot's; one NT's may cut is walked too.
      {{{1, "x.exe", longName}}, longName.substr(0, 259), true},
      {{{1, "x.exe", ntLong}}, ntLong, true},
      {{}, "", true},
  };
  for (const bool lookup : {false, true}) {
    sim::SimDesktop d;
    d.SetMainModuleLookup(lookup);
    for (const auto& c : cases) {
      const int before = d.Snapshots;
      EXPECT_EQ(OwnerExecutablePath(d, d.CreateWindow("W", "", 0, d.CreateProcess(c.modules))),
                c.path);
      EXPECT_EQ(d.Snapshots - before, lookup && !c.walked ? 0 : 1) << c.path;
    }
    // A window that is gone has no process; process 0 would be this very program.
    EXPECT_EQ(OwnerExecutablePath(d, 0xDEAD), "");
    EXPECT_EQ(d.OpenHandles(), 0);
    d.SetToolhelp(false);
    EXPECT_EQ(OwnerExecutablePath(
                  d, d.CreateWindow("W", "", 0, d.CreateProcess({{1, "a.exe", "C:\\a.exe"}}))),
              "");
  }
}

TEST(Enumeration, AnOwnerWithoutModulesIsStillListed) {
  World w;
  w.desktop.SetToolhelp(false);
  w.Program("C:\\Apps\\a.exe", "AWnd").AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  const TIconInfo* icon = Find(w.Registry(), "a");
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->ExePath, "");
  EXPECT_EQ(icon->ClassName, "AWnd");
}

}  // namespace
}  // namespace cvl::test
