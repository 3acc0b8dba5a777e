// The Corvalet Panel: geometry, the clicks passed on to owners, cell updates and the hover.
#include <gtest/gtest.h>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

// The simulated desktop's small icons are 16 wide and 15 high, its dialog frame 2 high: the
// client height is 15 + 2 * 3 (Panel2's border) + 2 + 6.
constexpr int kPanelHeight = 29;

std::string PanelIni(int programs) {
  std::string ini = "[Panel items]\r\nCount=" + std::to_string(programs) + "\r\n";
  for (int i = 0; i < programs; ++i)
    ini += "IM_" + std::to_string(i) + "=C:\\Apps\\p" + std::to_string(i) + ".exe\r\nID_" +
           std::to_string(i) + "=W\r\n";
  return ini;
}

struct PanelWorld : World {
  explicit PanelWorld(int icons) : World(90, true) {
    SetIni(PanelIni(icons));
    for (int i = 0; i < icons; ++i)
      owners.push_back(&Program("C:\\Apps\\p" + std::to_string(i) + ".exe", "W"));
    for (int i = 0; i < icons; ++i)
      owners[static_cast<std::size_t>(i)]->AddIcon(1, "p" + std::to_string(i));
    EXPECT_TRUE(corvalet->Start());
  }
  // The mouse messages an owner received as its callback, in order.
  std::vector<std::uint32_t> Clicks(const sim::SimProgram& p) {
    std::vector<std::uint32_t> m;
    for (const auto& r : p.Received)
      if (r.msg == sim::kOwnerCallback) m.push_back(static_cast<std::uint32_t>(r.lParam));
    return m;
  }
  std::vector<sim::SimProgram*> owners;
};

TEST(Panel, SizesAndPlacesItselfInTheWorkAreasCorner) {
  for (const int icons : {1, 2, 3}) {
    PanelWorld w(icons);
    THint& panel = *w.panel;
    panel.Show();
    EXPECT_EQ(panel.Width, icons * 19 + 12) << icons;
    EXPECT_EQ(panel.Height, kPanelHeight);
    EXPECT_EQ(panel.Left + panel.Width, 1024);
    EXPECT_EQ(panel.Top + panel.Height, 738);
    EXPECT_EQ(w.panelWindow.Bounds, (Rect{1024 - panel.Width, 738 - kPanelHeight, 1024, 738}));
    ASSERT_EQ(static_cast<int>(panel.IconCells.size()), icons);
    for (int k = 0; k < icons; ++k) {
      const PanelCell& c = panel.IconCells[static_cast<std::size_t>(k)];
      EXPECT_EQ(c.Left, 3 + k * 19);
      EXPECT_EQ(c.Top, 3);
      EXPECT_EQ(c.Width, 16);
      EXPECT_EQ(c.Height, 15);
      EXPECT_EQ(c.Tag, k);
      EXPECT_EQ(c.Hint, w.Registry().PanelList[k].TipText);
    }
    EXPECT_TRUE(w.panelWindow.Timer1);
    EXPECT_GT(w.panelWindow.Activations, 0);
  }
}

TEST(Panel, ATaskbarAtTheTopOrLeftStillGivesTheBottomRightCorner) {
  PanelWorld w(2);
  w.desktop.SetWorkArea({0, 30, 1024, 768});  // taskbar at the top
  w.panel->Show();
  EXPECT_EQ(w.panelWindow.Bounds, (Rect{1024 - 50, 768 - kPanelHeight, 1024, 768}));
  w.panel->Hide();
  w.desktop.SetWorkArea({60, 0, 1024, 768});  // at the left
  w.panel->Show();
  EXPECT_EQ(w.panelWindow.Bounds, (Rect{1024 - 50, 768 - kPanelHeight, 1024, 768}));
}

TEST(Panel, TheTimerRunsOnlyWhileThePanelIsShown) {
  PanelWorld w(1);
  EXPECT_FALSE(w.panel->Timer1Enabled);  // not from creation: an idle Corvalet sleeps
  w.panel->Show();
  EXPECT_TRUE(w.panel->Timer1Enabled);
  // Each tick lets the application handle its messages 100 times in a row.
  const int pumps = w.desktop.PumpCount;
  w.panel->Timer1Timer();
  EXPECT_EQ(w.desktop.PumpCount - pumps, 100);
  w.panel->Hide();
  EXPECT_FALSE(w.panel->Timer1Enabled);
  EXPECT_FALSE(w.panelWindow.Timer1);
}

TEST(Panel, ClicksReachTheOwnerInTheTraysSequences) {
  PanelWorld w(2);
  THint& p = *w.panel;
  sim::SimProgram& first = *w.owners[0];
  p.CellMouseDown(0, MouseButton::Left);
  p.CellMouseUp(0, MouseButton::Left);
  EXPECT_EQ(w.Clicks(first), (std::vector<std::uint32_t>{0x201, 0x202}));
  first.Received.clear();
  // A double-click: press, release, double-click, press, release.
  p.CellMouseDown(0, MouseButton::Left);
  p.CellMouseUp(0, MouseButton::Left);
  p.CellDblClick(0);
  p.CellMouseDown(0, MouseButton::Left);
  p.CellMouseUp(0, MouseButton::Left);
  EXPECT_EQ(w.Clicks(first), (std::vector<std::uint32_t>{0x201, 0x202, 0x203, 0x201, 0x202}));
  first.Received.clear();
  p.CellMouseDown(0, MouseButton::Right);
  p.CellMouseUp(0, MouseButton::Right);
  EXPECT_EQ(w.Clicks(first), (std::vector<std::uint32_t>{0x204, 0x7B, 0x205, 0x7B}));
  first.Received.clear();
  p.CellMouseDown(0, MouseButton::Middle);
  p.CellMouseUp(0, MouseButton::Middle);
  EXPECT_TRUE(w.Clicks(first).empty());
  // Each message carries the icon's ID; the second cell reaches the second owner.
  p.CellMouseDown(1, MouseButton::Left);
  ASSERT_EQ(w.Clicks(*w.owners[1]).size(), 1u);
  for (const auto& r : w.owners[1]->Received)
    if (r.msg == sim::kOwnerCallback) {
      EXPECT_EQ(r.wParam, 1u);
    }
}

TEST(Panel, ACellWhoseRecordIsGoneSendsNothingAndAHungOwnerCutsTheSequence) {
  PanelWorld w(1);
  THint& p = *w.panel;
  p.Show();
  p.CellMouseDown(5, MouseButton::Left);  // no such record
  p.CellMouseDown(-1, MouseButton::Right);
  EXPECT_TRUE(w.Clicks(*w.owners[0]).empty());
  // A hung owner: the bounded send fails, and the rest of the right click is dropped.
  w.desktop.Window(w.owners[0]->Window())->hung = true;
  const std::size_t before = w.desktop.Log.size();
  p.CellMouseDown(0, MouseButton::Right);
  int sent = 0;
  for (std::size_t i = before; i < w.desktop.Log.size(); ++i)
    sent += w.desktop.Log[i].window == w.owners[0]->Window();
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(w.desktop.BlockedSends, 0);
}

TEST(Panel, ChangedIconsReachItsCellsWhileShownAndSoonAfterItOpens) {
  PanelWorld w(2);
  THint& p = *w.panel;
  const auto cell = [&](int k) {
    const PanelCell& c = p.IconCells.at(static_cast<std::size_t>(k));
    EXPECT_EQ(w.panelWindow.Cells.at(static_cast<std::size_t>(k)).Hint, c.Hint);
    return c.Hint + "/" + std::to_string(c.Picture);
  };
  const auto ownButton = [&] {
    for (const auto& b : w.taskbar->Buttons())
      if (b.owner == w.corvalet->Host().window) return b.idCommand;
    return -1;
  };
  // The reading a show owed, from the timer: never inside the show itself, and the own icon,
  // under the mouse, is not added again.
  const auto settle = [&] {
    const bool owed = w.Registry().ReadingOwed();
    const int own = ownButton();
    w.corvalet->Form().RetryTimerTimer();
    w.Pump();
    EXPECT_FALSE(w.Registry().ReadingOwed());
    EXPECT_EQ(ownButton(), own);
    return owed;
  };
  p.Show();
  EXPECT_FALSE(settle());  // nothing missed
  w.owners[0]->ModifyIcon(1, "shown", 0x5888);
  w.Pump();
  EXPECT_EQ(cell(0), "shown/" + std::to_string(0x5888));
  p.Hide();
  w.desktop.Log.clear();
  w.owners[1]->ModifyIcon(1, "hidden", 0x5777);
  for (const auto& m : w.desktop.Log) EXPECT_NE(m.window, w.corvalet->Host().window) << m.msg;
  p.Show();
  EXPECT_EQ(cell(0), "shown/" + std::to_string(0x5888));  // kept in the list, not only the cell
  EXPECT_EQ(cell(1), "p1/" + std::to_string(0x5000));
  EXPECT_TRUE(settle());
  EXPECT_EQ(cell(1), "hidden/" + std::to_string(0x5777));
  EXPECT_EQ(cell(0), "shown/" + std::to_string(0x5888));
  // Told while shown but taken once hidden: read at the next show.
  w.owners[0]->ModifyIcon(1, "late", 0x5999);
  p.Hide();
  w.Pump();
  p.Show();
  EXPECT_TRUE(settle());
  EXPECT_EQ(cell(0), "late/" + std::to_string(0x5999));
}

// The reading a panel's opening owed waits while the menu's loop runs: the timer that comes
// inside it reads nothing, the next one after it does.
TEST(Panel, ItsOwedReadingWaitsForTheMenuToClose) {
  PanelWorld w(2);
  w.owners[1]->ModifyIcon(1, "untold", 0x5777);  // the panel is hidden: told to nobody
  w.panel->Show();
  ASSERT_TRUE(w.Registry().ReadingOwed());
  bool readInside = false;
  w.corvalet->InsideMenu = [&](const TrayMenu&) {
    const std::size_t from = w.desktop.Log.size();
    w.corvalet->Form().RetryTimerTimer();
    w.Pump();
    for (std::size_t i = from; i < w.desktop.Log.size(); ++i)
      readInside |= w.desktop.Log[i].msg == THM_ENUMREQUEST;
  };
  w.corvalet->Form().PopupTrayMenu({900, 700});
  EXPECT_FALSE(readInside);
  w.corvalet->Form().RetryTimerTimer();
  w.Pump();
  EXPECT_FALSE(w.Registry().ReadingOwed());
  ASSERT_TRUE(w.panel->Visible);
  EXPECT_EQ(w.panel->IconCells.at(1).Hint, "untold");
}

TEST(Panel, SwitchingOffEmptiesAShownPanelToWidthZero) {
  PanelWorld w(2);
  w.panel->Show();
  ASSERT_GT(w.panel->Width, 0);
  w.corvalet->Form().Enabled1Click();
  EXPECT_EQ(w.panel->Width, 0);
  EXPECT_TRUE(w.panel->IconCells.empty());
  EXPECT_TRUE(w.panelWindow.Cells.empty());
}

TEST(Panel, XpGivesTheInactiveCaptionColourOthersKeepTheButtonFace) {
  PanelWorld xp(1);
  EXPECT_TRUE(xp.panelWindow.InactiveCaption);
  World w2000(80, true);
  ASSERT_TRUE(w2000.corvalet->Start());
  EXPECT_FALSE(w2000.panelWindow.InactiveCaption);
}

TEST(Hover, TheOwnIconShowsThePanelAndTheTimerHidesItOnlyOutsideItsStrictBounds) {
  PanelWorld w(2);
  TMainForm& f = w.corvalet->Form();
  f.WndProc(kOwnIconCallback, kOwnIconId, kWmMouseMove);
  ASSERT_TRUE(w.panel->Visible);
  EXPECT_TRUE(f.HintTimerEnabled());
  const THint& p = *w.panel;
  // Inside: stays. On an edge: counts as outside.
  w.desktop.SetCursor({p.Left + 1, p.Top + 1});
  f.HintTimerTimer();
  EXPECT_TRUE(w.panel->Visible);
  w.desktop.SetCursor({p.Left + p.Width - 1, p.Top + p.Height - 1});
  f.HintTimerTimer();
  EXPECT_TRUE(w.panel->Visible);
  // Another hover over the shown panel's icon does not restart the timer: no longer stay.
  int timerSwitches = 0;
  f.OnHintTimer = [&](bool) { ++timerSwitches; };
  f.WndProc(kOwnIconCallback, kOwnIconId, kWmMouseMove);
  EXPECT_EQ(timerSwitches, 0);
  f.OnHintTimer = nullptr;
  for (const Point edge :
       {Point{p.Left, p.Top + 5}, Point{p.Left + 5, p.Top}, Point{p.Left + p.Width, p.Top + 5},
        Point{p.Left + 5, p.Top + p.Height}}) {
    w.panel->Show();
    f.WndProc(kOwnIconCallback, kOwnIconId, kWmMouseMove);
    w.desktop.SetCursor(edge);
    f.HintTimerTimer();
    EXPECT_FALSE(w.panel->Visible) << edge.x << "," << edge.y;
    EXPECT_FALSE(f.HintTimerEnabled());
  }
}

TEST(Hover, AnEmptyPanelListShowsNothing) {
  World w(90, true);
  ASSERT_TRUE(w.corvalet->Start());
  w.corvalet->Form().WndProc(kOwnIconCallback, kOwnIconId, kWmMouseMove);
  EXPECT_FALSE(w.panel->Visible);
  EXPECT_FALSE(w.corvalet->Form().HintTimerEnabled());
}

}  // namespace
}  // namespace cvl::test
