// The Corvalet Panel and menu from the keyboard, and what each icon's program receives by the
// version it set for its icon.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"
#include "views/IconMessages.h"

namespace cvl::test {
namespace {

using Messages = std::vector<std::uint32_t>;

// Three programs in the panel and one in the menu; p1's and m's icons ask for version 3.
struct KeyWorld : World {
  KeyWorld() : World(90, true) {
    SetIni(
        "[Panel items]\r\nCount=3\r\nIM_0=C:\\Apps\\p0.exe\r\nID_0=W\r\nIM_1=C:\\Apps\\p1.exe\r\n"
        "ID_1=W\r\nIM_2=C:\\Apps\\p2.exe\r\nID_2=W\r\n[Menu items]\r\nCount=1\r\n"
        "IM_0=C:\\Apps\\m.exe\r\nID_0=W\r\n");
    for (const char* name : {"p0", "p1", "p2", "m"}) {
      sim::SimProgram& p = Program(std::string("C:\\Apps\\") + name + ".exe", "W");
      p.AddIcon(1, name);
      if (name == std::string("p1") || name == std::string("m")) p.SetVersion(1, 3);
      owners.push_back(&p);
    }
    EXPECT_TRUE(corvalet->Start());
    for (int i = 0; i < 10; ++i) Pump();
  }
  Messages Callbacks(int owner) {
    Messages m;
    for (const auto& r : owners[static_cast<std::size_t>(owner)]->Received)
      if (r.msg == sim::kOwnerCallback) m.push_back(static_cast<std::uint32_t>(r.lParam));
    owners[static_cast<std::size_t>(owner)]->Received.clear();
    return m;
  }
  TMainForm& F() { return corvalet->Form(); }
  std::vector<sim::SimProgram*> owners;
};

TEST(IconVersions, EachKeyAndClickSendsWhatTheShellSendsForTheIconsVersion) {
  KeyWorld w;
  THint& p = *w.panel;
  ASSERT_EQ(w.Registry().PanelList.Count(), 3);
  ASSERT_TRUE(p.ShowFromKeyboard(0));
  struct Case {
    int cell;  // p0 (first version) or p1 (version 3)
    std::optional<PanelKey> key;
    std::optional<MouseButton> click;
    Messages expected;
  };
  const Case cases[] = {
      {0, PanelKey::Activate, {}, {0x204, 0x205}},
      {0, PanelKey::ContextMenu, {}, {0x204, 0x205}},
      {0, {}, MouseButton::Left, {0x201, 0x202}},
      {0, {}, MouseButton::Right, {0x204, 0x7B, 0x205, 0x7B}},
      {1, PanelKey::Activate, {}, {kNinKeySelect}},
      {1, PanelKey::ContextMenu, {}, {0x7B}},
      {1, {}, MouseButton::Left, {0x201, 0x202, kNinSelect}},
      {1, {}, MouseButton::Right, {0x204, 0x7B, 0x205, 0x7B}},
  };
  for (const Case& c : cases) {
    if (c.key) {
      p.KeyDown(PanelKey::Home);
      for (int i = 0; i < c.cell; ++i) p.KeyDown(PanelKey::Right);
      p.KeyDown(*c.key);
    } else {
      p.CellMouseDown(c.cell, *c.click);
      p.CellMouseUp(c.cell, *c.click);
    }
    EXPECT_EQ(w.Callbacks(c.cell), c.expected) << c.cell << " " << c.key.has_value();
  }
  EXPECT_TRUE(w.Callbacks(2).empty());
  // The menu's entries: a version-3 icon gets NIN_SELECT after a left click, the right click as
  // ever.
  for (const bool left : {true, false}) {
    w.F().WndProc(left ? THM_MENULEFTBUTTON : THM_MENURIGHTBUTTON, 0, 0);
    p.MenuEntryClick(w.Registry().MenuList[0]);
    const Messages expected =
        left ? Messages{0x201, 0x202, kNinSelect} : Messages{0x204, 0x205, 0x7B};
    EXPECT_EQ(w.Callbacks(3), expected);
  }
}

TEST(IconVersions, AVersionSetLaterIsReadAndAnIconAddedAgainStartsAtTheFirst) {
  KeyWorld w;
  const auto versionOf = [&](const std::string& tip) {
    for (int i = 0; i < w.Registry().PanelList.Count(); ++i)
      if (w.Registry().PanelList[i].TipText == tip) return w.Registry().PanelList[i].uVersion;
    return 99u;
  };
  EXPECT_EQ(versionOf("p1"), 3u);
  EXPECT_EQ(versionOf("p0"), 0u);
  w.owners[0]->SetVersion(1, 3);
  for (int i = 0; i < 10; ++i) w.Pump();
  EXPECT_EQ(versionOf("p0"), 3u);
  w.owners[1]->DeleteIcon(1);
  w.owners[1]->AddIcon(1, "p1");
  for (int i = 0; i < 10; ++i) w.Pump();
  EXPECT_EQ(versionOf("p1"), 0u);
}

TEST(PanelKeyboard, TheFocusMovesWithinTheCellsAndEscapeGivesTheForegroundBack) {
  KeyWorld w;
  THint& p = *w.panel;
  const Hwnd editor = w.desktop.CreateWindow("Editor", "Notes", 0, 77);
  w.desktop.SetForegroundWindow(editor);
  w.corvalet->MenuChoice = kMenuPanel;
  w.desktop.SendMessageA(w.corvalet->Host().window, kOwnIconCallback, kOwnIconId, kWmRButtonUp);
  for (int i = 0; i < 5; ++i) w.Pump();
  ASSERT_TRUE(p.Visible);
  EXPECT_EQ(w.panelWindow.Focus, 0);
  EXPECT_FALSE(w.F().HintTimerEnabled());  // the keyboard's panel waits for no cursor
  // Shown again from the keyboard, with Corvalet's window in front: the editor stays the one.
  w.desktop.SetForegroundWindow(w.corvalet->Host().window);
  w.desktop.SendMessageA(w.corvalet->Host().window, kOwnIconCallback, kOwnIconId, kNinKeySelect);
  const std::pair<PanelKey, int> moves[] = {{PanelKey::Left, 0},  {PanelKey::Right, 1},
                                            {PanelKey::Right, 2}, {PanelKey::Right, 2},
                                            {PanelKey::Home, 0},  {PanelKey::End, 2}};
  for (const auto& [key, at] : moves) {
    p.KeyDown(key);
    EXPECT_EQ(w.panelWindow.Focus, at);
  }
  // The list gets shorter under the focus: it stays on the last cell.
  w.owners[2]->DeleteIcon(1);
  for (int i = 0; i < 10; ++i) w.Pump();
  EXPECT_EQ(w.panelWindow.Focus, 1);
  p.KeyDown(PanelKey::Escape);
  EXPECT_FALSE(p.Visible);
  EXPECT_EQ(w.panelWindow.Focus, -1);
  EXPECT_EQ(w.desktop.GetForegroundWindow(), editor);
  // The mouse's panel is as it was: the hint timer, no focus mark until a key comes.
  w.desktop.SendMessageA(w.corvalet->Host().window, kOwnIconCallback, kOwnIconId, kWmMouseMove);
  EXPECT_TRUE(p.Visible);
  EXPECT_EQ(w.panelWindow.Focus, -1);
  EXPECT_TRUE(w.F().HintTimerEnabled());
  p.Deactivated();
  EXPECT_TRUE(p.Visible);
}

TEST(PanelKeyboard, TheOwnIconAsksForVersion3AndOpensEachThingOnce) {
  KeyWorld w;
  const Hwnd form = w.corvalet->Host().window;
  const auto own = w.taskbar->Button(form, kOwnIconId);
  ASSERT_TRUE(own);
  EXPECT_EQ(own->version, kOwnIconVersion);
  // The mouse's right click, which later shells follow with WM_CONTEXTMENU: one menu.
  w.desktop.SendMessageA(form, kOwnIconCallback, kOwnIconId, kWmRButtonUp);
  w.desktop.SendMessageA(form, kOwnIconCallback, kOwnIconId, kWmContextMenu);
  for (int i = 0; i < 5; ++i) w.Pump();
  EXPECT_EQ(w.corvalet->MenusOpened, 1);
  // The keyboard's shortcut-menu key alone: the menu; its Enter: the panel with the focus.
  w.desktop.SendMessageA(form, kOwnIconCallback, kOwnIconId, kWmContextMenu);
  for (int i = 0; i < 5; ++i) w.Pump();
  EXPECT_EQ(w.corvalet->MenusOpened, 2);
  w.desktop.SendMessageA(form, kOwnIconCallback, kOwnIconId, kNinKeySelect);
  EXPECT_TRUE(w.panel->Visible);
  EXPECT_EQ(w.panelWindow.Focus, 0);
  // A mouse left click (NIN_SELECT) opens nothing.
  w.panel->Hide();
  w.desktop.SendMessageA(form, kOwnIconCallback, kOwnIconId, kNinSelect);
  for (int i = 0; i < 5; ++i) w.Pump();
  EXPECT_FALSE(w.panel->Visible);
  EXPECT_EQ(w.corvalet->MenusOpened, 2);
}

}  // namespace
}  // namespace cvl::test
