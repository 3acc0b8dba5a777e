// The minimizer: the right click on a minimize button, the hidden window's icon and its place,
// the way back by a left click on that icon wherever it is shown, and at exit.
#include <gtest/gtest.h>

#include <algorithm>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

constexpr std::uint32_t kWsMinimizeBox = 0x00020000;

struct MinWorld : World {
  explicit MinWorld(const std::string& ini = "", bool realPanel = false) : World(90, realPanel) {
    SetIni(ini);
    app = &Program("C:\\Apps\\editor.exe", "EditorWnd");
    EXPECT_TRUE(corvalet->Start());
  }
  // A top-level window of the program, 400 x 300 at (200, 150).
  Hwnd Window(const std::string& title = "Document - Editor") {
    const Hwnd w = desktop.CreateWindow("EditorWnd", title, 0, app->ProcessId());
    desktop.Window(w)->rect = {200, 150, 600, 450};
    desktop.ShowWindow(w, kSwShow);
    return w;
  }
  // A right click reported with the cursor at a screen point.
  void RightClickAt(Hwnd w, int x, int y) {
    desktop.SetCursor({x, y});
    corvalet->Form().WndProc(THM_MINBUTTONRCLICK, 0, static_cast<LParam>(w));
  }
  void RightClickMinimize(Hwnd w) { RightClickAt(w, 550, 163); }
  bool Visible(Hwnd w) { return desktop.Window(w)->visible; }
  // The ShowWindow calls on these windows since the log was last cleared, in order.
  std::vector<sim::ShowRecord> ShowsOf(std::initializer_list<Hwnd> windows) {
    std::vector<sim::ShowRecord> shows;
    for (const sim::ShowRecord& s : desktop.Shows)
      if (std::find(windows.begin(), windows.end(), s.window) != windows.end()) shows.push_back(s);
    return shows;
  }
  TMinForm& Min() { return corvalet->MinForm(); }
  std::optional<sim::TrayButton> Icon(Hwnd w) { return taskbar->Button(corvalet->MinWindow(), w); }
  // The callback a tray click on the window's icon sends.
  void ClickIcon(Hwnd w, std::uint32_t mouse) {
    const auto icon = Icon(w);
    ASSERT_TRUE(icon);
    desktop.SendMessageA(corvalet->MinWindow(), icon->uCallbackMessage, w, mouse);
  }
  sim::SimProgram* app;
};

TEST(Minimizer, TheMinimizeButtonsBoxIsHitAtEveryEdgeAndMissedOnePixelOutside) {
  // Box relative to the window: x 342..358 (400 - 4 - 3 * 18, 18 - 2 wide), y 7..23 (5 + 2,
  // 20 - 4 high): the simulated desktop's frames and caption buttons are higher than wide.
  struct Case {
    int x, y;
    bool hides;
  };
  const Case cases[] = {{542, 157, true},  {558, 173, true},  {542, 173, true},  {558, 157, true},
                        {541, 163, false}, {559, 163, false}, {550, 156, false}, {550, 174, false},
                        {570, 163, false}, {590, 163, false}};  // maximize, close
  for (const Case& c : cases) {
    MinWorld w;
    const Hwnd target = w.Window();
    w.RightClickAt(target, c.x, c.y);
    EXPECT_EQ(!w.Visible(target), c.hides) << c.x << "," << c.y;
  }
}

TEST(Minimizer, NoMinimizeBoxNoCaptionAChildOrTheSettingOffHideNothing) {
  MinWorld w;
  const Hwnd noBox = w.Window();
  w.desktop.Window(noBox)->style &= ~kWsMinimizeBox;
  w.RightClickMinimize(noBox);
  EXPECT_TRUE(w.Visible(noBox));
  // A caption is both of its bits: a border alone, or a dialog frame alone, is none.
  for (const std::uint32_t captionPart : {0x00800000u, 0x00400000u, 0u}) {
    const Hwnd noCaption = w.Window();
    w.desktop.Window(noCaption)->style =
        (w.desktop.Window(noCaption)->style & ~0x00C00000u) | captionPart;
    w.RightClickMinimize(noCaption);
    EXPECT_TRUE(w.Visible(noCaption)) << std::hex << captionPart;
  }
  const Hwnd child = w.Window();
  w.desktop.Window(child)->style |= kWsChild;
  w.RightClickMinimize(child);
  EXPECT_TRUE(w.Visible(child));
  w.corvalet->Form().Options().IsRightClick = false;
  const Hwnd plain = w.Window();
  w.RightClickMinimize(plain);
  EXPECT_TRUE(w.Visible(plain));
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 0);
}

TEST(Minimizer, AHiddenWindowGetsAnIconWithItsTitleAndAFreshCallbackEachTime) {
  MinWorld w;
  const Hwnd owner = w.Window("owner");
  const Hwnd first = w.Window(std::string(70, 'T'));
  w.desktop.Window(first)->owner = owner;
  w.RightClickMinimize(first);
  EXPECT_FALSE(w.Visible(first));
  EXPECT_FALSE(w.Visible(owner));
  ASSERT_EQ(w.Registry().MinimizedList.Count(), 1);
  const TIconInfo& entry = w.Registry().MinimizedList[0];
  EXPECT_EQ(entry.hWnd, first);
  EXPECT_EQ(entry.uID, first);
  EXPECT_EQ(entry.uCallbackMessage, 0x42Au);
  EXPECT_EQ(entry.ExePath, "C:\\Apps\\editor.exe");
  EXPECT_EQ(entry.ClassName, "EditorWnd");
  EXPECT_EQ(entry.cbSize, 0u);
  const auto icon = w.Icon(first);
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->tip, std::string(63, 'T'));
  EXPECT_EQ(icon->hIcon, entry.hIcon);
  EXPECT_TRUE(w.corvalet->CaptionPictures().Live.count(entry.hIcon));

  const Hwnd second = w.Window("");
  w.RightClickMinimize(second);
  EXPECT_EQ(w.Registry().MinimizedList[1].uCallbackMessage, 0x42Bu);
  EXPECT_EQ(w.Icon(second)->tip, "");
  // Back and hidden again: a new number, never one used before.
  w.ClickIcon(second, kWmLButtonUp);
  w.RightClickMinimize(second);
  EXPECT_EQ(w.Registry().MinimizedList[1].uCallbackMessage, 0x42Cu);
}

TEST(Minimizer, HidingMinimizesTheWindowFirstAndTheWayBackRestoresItAfterItsOwner) {
  MinWorld w;
  const Hwnd owner = w.Window("owner");
  const Hwnd target = w.Window();
  w.desktop.Window(target)->owner = owner;
  w.desktop.Shows.clear();
  w.RightClickMinimize(target);
  EXPECT_EQ(w.ShowsOf({target, owner}),
            (std::vector<sim::ShowRecord>{
                {target, kSwShowMinimized}, {owner, kSwHide}, {target, kSwHide}}));
  EXPECT_TRUE(w.desktop.Window(target)->minimized);
  w.desktop.Shows.clear();
  w.ClickIcon(target, kWmLButtonUp);
  EXPECT_EQ(w.ShowsOf({target, owner}),
            (std::vector<sim::ShowRecord>{{owner, kSwRestore}, {target, kSwRestore}}));
  EXPECT_TRUE(w.Visible(target));
  EXPECT_FALSE(w.desktop.Window(target)->minimized);
}

TEST(Minimizer, OnlyTheReleaseOfALeftClickBringsTheWindowBack) {
  MinWorld w;
  const Hwnd owner = w.Window("owner");
  const Hwnd target = w.Window();
  w.desktop.Window(target)->owner = owner;
  w.RightClickMinimize(target);
  const Hicon picture = w.Registry().MinimizedList[0].hIcon;
  for (const std::uint32_t m : {kWmLButtonDown, kWmRButtonDown, kWmRButtonUp, kWmLButtonDblClk}) {
    w.ClickIcon(target, m);
    EXPECT_FALSE(w.Visible(target));
  }
  w.ClickIcon(target, kWmLButtonUp);
  EXPECT_TRUE(w.Visible(target));
  EXPECT_TRUE(w.Visible(owner));
  EXPECT_EQ(w.desktop.Foreground, target);
  EXPECT_FALSE(w.Icon(target));
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 0);
  EXPECT_FALSE(w.corvalet->CaptionPictures().Live.count(picture));
  // A second release for the gone entry is ignored.
  w.desktop.SendMessageA(w.corvalet->MinWindow(), 0x42A, target, kWmLButtonUp);
  EXPECT_EQ(w.corvalet->CaptionPictures().BadDestroys, 0);
}

TEST(Minimizer, TheIconGoesWhereMinimizeToSaysAndOnlyTheMinimizersIconTakesThePlace) {
  MinWorld w("[MinOptions]\r\nMinimizeTo=3\r\n");
  const Hwnd target = w.Window();
  // Another program's icon, added just before: its report is handled first, while the place
  // is already pending. It keeps its own place (ApStyle: the tray).
  w.Program("C:\\Apps\\other.exe", "OtherWnd").AddIcon(1, "other");
  w.RightClickMinimize(target);
  w.Pump();
  w.Pump();
  EXPECT_EQ(PlaceOf(w.Registry(), "other"), IconPlace::Tray);
  EXPECT_EQ(PlaceOf(w.Registry(), "Document - Editor"), IconPlace::Menu);
  EXPECT_EQ(w.Registry().PendingMinimizePlace, 0);
  EXPECT_TRUE(w.Icon(target)->hidden);
  // The memory remembers the minimizer's identity in the menu.
  EXPECT_EQ(w.IniValue("Menu items", "ID_0"), "TMinForm");
}

TEST(Minimizer, APlaceStillPendingWhenTheOptionGoesOffIsNotTaken) {
  MinWorld w("[Common]\r\nApStyle=2\r\n[MinOptions]\r\nMinimizeTo=3\r\n");
  const Hwnd target = w.Window();
  w.RightClickMinimize(target);
  ASSERT_EQ(w.Registry().PendingMinimizePlace, 3);
  w.corvalet->Form().Options().IsRightClick = false;  // before the icon's report is handled
  w.Pump();
  EXPECT_EQ(PlaceOf(w.Registry(), "Document - Editor"), IconPlace::Panel);  // ApStyle's
}

TEST(Minimizer, AClickOnTheIconInThePanelBringsTheWindowBack) {
  MinWorld w("[MinOptions]\r\nMinimizeTo=2\r\n", true);
  const Hwnd target = w.Window();
  w.RightClickMinimize(target);
  w.Pump();
  ASSERT_EQ(w.Registry().PanelList.Count(), 1);
  w.panel->CellMouseDown(0, MouseButton::Left);
  w.panel->CellMouseUp(0, MouseButton::Left);
  EXPECT_TRUE(w.Visible(target));
  w.Pump();
  EXPECT_EQ(w.Registry().PanelList.Count(), 0);
}

TEST(Minimizer, ARefusedIconBringsTheWindowBackAtOnce) {
  MinWorld w;
  const Hwnd target = w.Window();
  w.desktop.RefuseIcons = true;
  w.RightClickMinimize(target);
  EXPECT_TRUE(w.Visible(target));
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 0);
  EXPECT_TRUE(w.corvalet->CaptionPictures().Live.empty());
  EXPECT_EQ(w.Registry().PendingMinimizePlace, 0);
  EXPECT_TRUE(w.hook->HiddenWindows.empty());
}

TEST(Minimizer, AWindowHiddenAgainAfterShowingItselfKeepsItsOneIcon) {
  MinWorld w;
  const Hwnd target = w.Window();
  w.RightClickMinimize(target);
  w.desktop.ShowWindow(target, kSwShow);  // its program showed it again
  w.RightClickMinimize(target);
  EXPECT_FALSE(w.Visible(target));
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 1);
  EXPECT_EQ(w.corvalet->CaptionPictures().Live.size(), 1u);
  int icons = 0;
  for (const auto& b : w.taskbar->Buttons()) icons += b.owner == w.corvalet->MinWindow();
  EXPECT_EQ(icons, 1);
}

TEST(Minimizer, TheParentIsNeverHidden) {
  MinWorld w;
  const Hwnd parent = w.Window("parent");
  const Hwnd target = w.Window();
  w.desktop.Window(target)->parent = parent;  // a top-level style with a parent link
  w.RightClickMinimize(target);
  EXPECT_FALSE(w.Visible(target));
  EXPECT_TRUE(w.Visible(parent));
}

TEST(Minimizer, ExitBringsEveryWindowBackInOrderAndLeavesNoIcon) {
  MinWorld w;
  std::vector<Hwnd> windows = {w.Window("a"), w.Window("b"), w.Window("c")};
  for (const Hwnd t : windows) w.RightClickMinimize(t);
  EXPECT_EQ(w.hook->HiddenWindows.size(), 3u);
  // Every window is back before the first icon goes.
  std::vector<int> shownAtDelete;
  const auto sink = w.desktop.NotifyIconSink;
  w.desktop.NotifyIconSink = [&](std::uint32_t message, const NotifyIconData& data) {
    if (message == kNimDelete && data.hWnd == w.corvalet->MinWindow())
      shownAtDelete.push_back(static_cast<int>(
          std::count_if(windows.begin(), windows.end(), [&](Hwnd t) { return w.Visible(t); })));
    return sink(message, data);
  };
  w.desktop.Shows.clear();
  w.corvalet->Exit();
  EXPECT_EQ(shownAtDelete, (std::vector<int>{3, 3, 3}));
  EXPECT_EQ(w.ShowsOf({windows[0], windows[1], windows[2]}),
            (std::vector<sim::ShowRecord>{
                {windows[0], kSwRestore}, {windows[1], kSwRestore}, {windows[2], kSwRestore}}));
  for (const Hwnd t : windows) EXPECT_TRUE(w.Visible(t));
  EXPECT_EQ(w.desktop.Foreground, windows.back());  // the last in the list ends in front
  for (const auto& b : w.taskbar->Buttons()) EXPECT_NE(b.owner, w.corvalet->MinWindow());
  EXPECT_TRUE(w.corvalet->CaptionPictures().Live.empty());
  EXPECT_TRUE(w.hook->HiddenWindows.empty());  // the watchdog has nothing left to show
}

}  // namespace
}  // namespace cvl::test

namespace cvl::test {
namespace {

TEST(Minimizer, AWindowDestroyedWhileHiddenLosesItsIconAtTheFirstClick) {
  MinWorld w;
  const Hwnd gone = w.Window("gone");
  const Hwnd kept = w.Window("kept");
  w.RightClickMinimize(gone);
  w.RightClickMinimize(kept);
  const auto icon = w.Icon(gone);
  ASSERT_TRUE(icon);
  w.desktop.DestroyWindow(gone);
  w.desktop.SendMessageA(w.corvalet->MinWindow(), icon->uCallbackMessage, gone, kWmLButtonUp);
  EXPECT_FALSE(w.Icon(gone));
  ASSERT_EQ(w.Registry().MinimizedList.Count(), 1);
  EXPECT_EQ(w.Registry().MinimizedList[0].hWnd, kept);  // the other entry keeps its place
  EXPECT_FALSE(w.Visible(kept));
  EXPECT_EQ(w.corvalet->CaptionPictures().Live.size(), 1u);
}

}  // namespace
}  // namespace cvl::test
