// A program whose icons go to the panel or the menu has its next added button hidden by the
// library on the shell's thread, before Corvalet has read the tray; everything else is shown.
#include <gtest/gtest.h>

#include "World.h"
#include "registry/DeadIcons.h"
#include "registry/HiddenProcesses.h"

namespace cvl::test {
namespace {

// Program a remembered in the panel, b in the tray, c in the menu: each removes its icon and
// adds it again, and the button is looked at the moment the shell's add returns.
TEST(HiddenAhead, AReAddedButtonIsHiddenBeforeCorvaletReadsIt) {
  World w;
  w.SetIni(std::string(kAInPanel) +
           "[Tray items]\r\nCount=1\r\nIM_0=C:\\Apps\\b.exe\r\nID_0=BWnd\r\n"
           "[Menu items]\r\nCount=1\r\nIM_0=C:\\Apps\\c.exe\r\nID_0=CWnd\r\n");
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  auto& b = w.Program("C:\\Apps\\b.exe", "BWnd");
  auto& c = w.Program("C:\\Apps\\c.exe", "CWnd");
  for (auto* p : {&a, &b, &c}) p->AddIcon(1, p->ExePath());
  ASSERT_TRUE(w.corvalet->Start());
  struct Case {
    sim::SimProgram* program;
    bool hidden;
  };
  for (const Case& k : {Case{&a, true}, Case{&b, false}, Case{&c, true}}) {
    SCOPED_TRACE(k.program->ExePath());
    k.program->DeleteIcon(1);
    w.Pump();
    k.program->AddIcon(1, "again " + k.program->ExePath());
    EXPECT_EQ(w.Hidden(*k.program, 1), k.hidden);  // before any report is handled
    k.program->AddIcon(2, "second");               // a new icon of the same program
    EXPECT_EQ(w.Hidden(*k.program, 2), k.hidden);
    w.Pump();
    EXPECT_EQ(w.Hidden(*k.program, 1), k.hidden);
    EXPECT_EQ(w.Hidden(*k.program, 2), k.hidden);
    k.program->DeleteIcon(2);
    w.Pump();
  }
  EXPECT_EQ(w.Registry().PanelList.Count(), 1);
  EXPECT_EQ(w.Registry().MenuList.Count(), 1);

  // Moved to the tray: its next add is shown. A process that ended is no longer listed.
  TrayRegistry& r = w.Registry();
  r.ListView1.SetSelected(RowOf(r, "again C:\\Apps\\a.exe"), true);
  r.ListView1.CheckRadio(IconPlace::Tray);
  w.Pump();
  a.DeleteIcon(1);
  a.AddIcon(1, "shown");
  EXPECT_FALSE(w.Hidden(a, 1));
  w.Pump();
  const auto listed = [&](const sim::SimProgram& p) {
    return std::count(w.hook->HiddenProcesses().begin(), w.hook->HiddenProcesses().end(),
                      p.ProcessId()) != 0;
  };
  ASSERT_TRUE(listed(c));
  r.HandleHookMessage(kOwnerEndedMessage, c.ProcessId(), 0);
  EXPECT_FALSE(listed(c));
  EXPECT_FALSE(listed(a));
  EXPECT_FALSE(listed(b));
}

// Hidden ahead of a reading Corvalet never made: switching off gives it back, but not a
// button its program hid.
TEST(HiddenAhead, SwitchingOffShowsWhatWasHiddenAheadButNotWhatTheProgramHid) {
  World w;
  w.SetIni(kAInPanel);
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  a.AddIcon(1, "a");
  ASSERT_TRUE(w.corvalet->Start());
  a.AddIcon(2, "ahead");
  a.AddIcon(3, "hid");
  a.SetHidden(3, true);
  ASSERT_TRUE(w.Hidden(a, 2));
  w.corvalet->Form().Enabled1Click();  // before the adds' reports are handled
  w.Pump();
  EXPECT_FALSE(w.Hidden(a, 1));
  EXPECT_FALSE(w.Hidden(a, 2));
  EXPECT_TRUE(w.Hidden(a, 3));
  EXPECT_TRUE(w.hook->HiddenProcesses().empty());
  a.AddIcon(4, "off");
  EXPECT_FALSE(w.Hidden(a, 4));
  // On again: the list is told anew.
  w.corvalet->Form().Enabled1Click();
  w.Pump();
  a.AddIcon(5, "on again");
  EXPECT_TRUE(w.Hidden(a, 5));
}

// A process with an icon in the tray is not hidden ahead, whatever its other icons' places.
TEST(HiddenAhead, AProcessWithAnIconInTheTrayIsNotListed) {
  World w;
  auto& a = w.Program("C:\\Apps\\a.exe", "AWnd");
  HiddenProcesses hidden(w.desktop);
  std::vector<std::uint32_t> told;
  hidden.Publish = [&](const std::vector<std::uint32_t>& p) { told = p; };
  TIconList icons;
  TIconInfo icon;
  icon.hWnd = a.Window();
  for (const IconPlace place : {IconPlace::Panel, IconPlace::Tray}) {
    icon.Place = place;
    ++icon.uID;
    icons.Add(icon);
  }
  hidden.Note(icons, 0);
  EXPECT_TRUE(hidden.Listed().empty());
  icons.Delete(2);  // the tray's
  hidden.Note(icons, 0);
  EXPECT_EQ(told, std::vector<std::uint32_t>{a.ProcessId()});
}

}  // namespace
}  // namespace cvl::test
