// The minimizer's key: its value as RegisterHotKey takes it, which windows it sends away, the
// way back newest first, when it is registered, and a key another program holds. The panel's
// key: held while on, opening the panel for the keyboard, and told when held elsewhere.
#include <gtest/gtest.h>

#include <algorithm>

#include "World.h"
#include "minimizer/HotKey.h"
#include "minimizer/HotKeyTarget.h"
#include "shell/HookProtocol.h"

namespace cvl::test {
namespace {

constexpr std::uint32_t kVkF9 = 0x78;
// Ctrl+Alt+F9 as the hotkey control gives it.
constexpr std::int32_t kCtrlAltF9 = ((kHotKeyfControl | kHotKeyfAlt) << 8) | kVkF9;
constexpr std::uint32_t kCtrlAlt = kModControl | kModAlt;

std::string KeyIni(std::int32_t hotKey, const std::string& more = "") {
  return "[MinOptions]\r\nHotKey=" + std::to_string(hotKey) + "\r\n" + more;
}

struct KeyWorld : World {
  explicit KeyWorld(const std::string& ini = KeyIni(kCtrlAltF9), bool realPanel = false)
      : World(90, realPanel) {
    SetIni(ini);
    app = &Program("C:\\Apps\\editor.exe", "EditorWnd");
    EXPECT_TRUE(corvalet->Start());
  }
  // A visible captioned window of the program, made the foreground window.
  Hwnd Window(const std::string& title, std::uint32_t style = 0x10CF0000) {
    const Hwnd w = desktop.CreateWindow("EditorWnd", title, 0, app->ProcessId());
    desktop.Window(w)->style = style;
    desktop.Window(w)->rect = {200, 150, 600, 450};
    desktop.ShowWindow(w, kSwShow);
    desktop.Foreground = w;
    return w;
  }
  // The key pressed: what the system posts, delivered by Corvalet's loop.
  bool Press(std::uint32_t modifiers = kCtrlAlt, std::uint32_t key = kVkF9) {
    const bool taken = desktop.PressKey(modifiers, key);
    Pump();
    return taken;
  }
  bool PressShift() { return Press(kCtrlAlt | kModShift); }
  void RightClickMinimize(Hwnd w) {
    desktop.SetCursor({550, 163});
    Form().WndProc(THM_MINBUTTONRCLICK, 0, static_cast<LParam>(w));
  }
  bool Visible(Hwnd w) { return desktop.Window(w)->visible; }
  std::vector<sim::SimDesktop::HotKey> Registered() { return desktop.HotKeys; }
  TMainForm& Form() { return corvalet->Form(); }
  sim::SimProgram* app;
};

TEST(HotKeyMapping, TheControlsFlagsBecomeRegisterHotKeysModifiers) {
  struct Case {
    std::uint32_t flags;
    std::uint32_t modifiers;
  };
  const Case cases[] = {{0, 0},
                        {kHotKeyfShift, kModShift},
                        {kHotKeyfControl, kModControl},
                        {kHotKeyfAlt, kModAlt},
                        {kHotKeyfExt, 0},  // an extended key, no modifier
                        {kHotKeyfShift | kHotKeyfAlt, kModShift | kModAlt},
                        {kHotKeyfControl | kHotKeyfAlt | kHotKeyfExt, kModControl | kModAlt},
                        {0xF, kModShift | kModControl | kModAlt}};
  for (const Case& c : cases) {
    EXPECT_EQ(ModifiersOf(c.flags), c.modifiers) << c.flags;
    const auto key = SendAwayKey(static_cast<std::int32_t>(c.flags << 8 | 0x41));
    ASSERT_TRUE(key);
    // Without Ctrl or Alt the key gets both, in place of its Shift, as the control makes it.
    const bool plain = (c.modifiers & kCtrlAlt) == 0;
    EXPECT_EQ(*key, (KeyChord{plain ? kCtrlAlt : c.modifiers, 0x41})) << c.flags;
  }
  // The way back is the same key with Shift; a key with Shift has none.
  EXPECT_EQ(BringBackKey(kCtrlAltF9), (KeyChord{kCtrlAlt | kModShift, kVkF9}));
  EXPECT_FALSE(BringBackKey((kHotKeyfShift | kHotKeyfControl) << 8 | kVkF9));
  // None set, modifiers without a key, or more than the control's word: no key at all.
  for (const std::int32_t none : {0, 0x0600, 0x10678, -1}) {
    EXPECT_FALSE(SendAwayKey(none)) << none;
    EXPECT_FALSE(BringBackKey(none)) << none;
  }
  const std::int32_t withShift = (kHotKeyfShift | kHotKeyfControl) << 8 | kVkF9;
  EXPECT_NE(HotKeyHint(kCtrlAltF9), HotKeyHint(withShift));
  EXPECT_NE(HotKeyHint(withShift).find("Shift"), std::string::npos);
}

TEST(HotKeyTarget, AVisibleCaptionedTopLevelWindowOfAnotherProgramQualifies) {
  KeyWorld w;
  const HotKeyExclusions none{w.taskbar->Taskbar(), w.corvalet->ProcessId(),
                              &w.Registry().MinimizedList};
  // No minimize box needed; the foreground child's top-level window is the one.
  const Hwnd top = w.Window("top", 0x10CF0000 & ~0x00020000u);
  EXPECT_EQ(HotKeyTarget(w.desktop, top, none), top);
  const Hwnd child = w.desktop.CreateWindow("Edit", "", top, w.app->ProcessId());
  w.desktop.Window(child)->style = kWsChild | 0x10000000;
  const Hwnd grandchild = w.desktop.CreateWindow("Edit", "", child, w.app->ProcessId());
  w.desktop.Window(grandchild)->style = kWsChild | 0x10C00000;  // a caption of its own
  EXPECT_EQ(HotKeyTarget(w.desktop, grandchild, none), top);

  // A caption is both of its bits: a border or a dialog frame alone is none.
  for (const std::uint32_t style : {0x10800000u, 0x10400000u, 0x90000000u})
    EXPECT_EQ(HotKeyTarget(w.desktop, w.Window("no caption", style), none), 0u) << style;
  const Hwnd hidden = w.Window("hidden");
  w.desktop.ShowWindow(hidden, kSwHide);
  EXPECT_EQ(HotKeyTarget(w.desktop, hidden, none), 0u);
  EXPECT_EQ(HotKeyTarget(w.desktop, 0, none), 0u);
  EXPECT_EQ(HotKeyTarget(w.desktop, 0xDEAD, none), 0u);  // gone

  // The desktop, the taskbar and Corvalet's own windows never go, whatever their style.
  for (const char* desk : {"Progman", "#32769", "WorkerW"}) {
    const Hwnd d = w.desktop.CreateWindow(desk, "Program Manager", 0, 7);
    w.desktop.Window(d)->visible = true;
    EXPECT_EQ(HotKeyTarget(w.desktop, d, none), 0u) << desk;
  }
  w.desktop.Window(w.taskbar->Taskbar())->style = 0x10CF0000;
  w.desktop.Window(w.taskbar->Taskbar())->visible = true;
  EXPECT_EQ(HotKeyTarget(w.desktop, w.taskbar->Taskbar(), none), 0u);
  const Hwnd form = w.corvalet->Host().window;
  w.desktop.Window(form)->style = 0x10CF0000;
  w.desktop.Window(form)->visible = true;
  EXPECT_EQ(HotKeyTarget(w.desktop, form, none), 0u);
  EXPECT_EQ(HotKeyTarget(w.desktop, form, {}), form);  // only as Corvalet's own

  // A window Corvalet hid already, even one its program showed again, is not hidden twice.
  w.desktop.Foreground = top;
  ASSERT_TRUE(w.Press());
  ASSERT_FALSE(w.Visible(top));
  w.desktop.ShowWindow(top, kSwShow);
  EXPECT_EQ(HotKeyTarget(w.desktop, top, none), 0u);
}

TEST(HotKey, TheKeySendsTheActiveWindowWhereARightClickWouldAndShiftBringsItBack) {
  KeyWorld w(KeyIni(kCtrlAltF9, "MinimizeTo=2\r\n"), true);
  const auto keys = w.Registered();
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0],
            (sim::SimDesktop::HotKey{w.corvalet->Host().window, kSendAwayKeyId, kCtrlAlt, kVkF9}));
  EXPECT_EQ(keys[1], (sim::SimDesktop::HotKey{w.corvalet->Host().window, kBringBackKeyId,
                                              kCtrlAlt | kModShift, kVkF9}));

  const Hwnd target = w.Window("Document - Editor", 0x10CF0000 & ~0x00020000u);
  ASSERT_TRUE(w.Press());
  EXPECT_FALSE(w.Visible(target));
  ASSERT_EQ(w.Registry().MinimizedList.Count(), 1);
  EXPECT_EQ(w.Registry().MinimizedList[0].uCallbackMessage, 0x42Au);
  const auto icon = w.taskbar->Button(w.corvalet->MinWindow(), target);
  ASSERT_TRUE(icon);
  EXPECT_EQ(icon->tip, "Document - Editor");
  EXPECT_EQ(icon->hIcon, w.Registry().MinimizedList[0].hIcon);
  w.Pump();
  EXPECT_EQ(PlaceOf(w.Registry(), "Document - Editor"), IconPlace::Panel);  // MinimizeTo's
  EXPECT_EQ(w.Registry().PanelList.Count(), 1);

  ASSERT_TRUE(w.PressShift());
  EXPECT_TRUE(w.Visible(target));
  EXPECT_EQ(w.desktop.Foreground, target);
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 0);
  EXPECT_FALSE(w.taskbar->Button(w.corvalet->MinWindow(), target));
  EXPECT_TRUE(w.corvalet->CaptionPictures().Live.empty());
  w.Pump();
  EXPECT_EQ(w.Registry().PanelList.Count(), 0);
  w.PressShift();  // nothing left to bring back
  EXPECT_TRUE(w.Visible(target));
}

TEST(HotKey, WindowsComeBackNewestFirstWhicheverWayTheyWent) {
  KeyWorld w;
  const Hwnd a = w.Window("a");
  w.RightClickMinimize(a);
  const Hwnd b = w.Window("b");
  w.Press();
  const Hwnd c = w.Window("c");
  w.RightClickMinimize(c);
  const Hwnd d = w.Window("d");
  w.Press();
  ASSERT_EQ(w.Registry().MinimizedList.Count(), 4);
  // d's icon clicked: it leaves the order; the rest come back newest first.
  const auto icon = w.taskbar->Button(w.corvalet->MinWindow(), d);
  ASSERT_TRUE(icon);
  w.desktop.SendMessageA(w.corvalet->MinWindow(), icon->uCallbackMessage, d, kWmLButtonUp);
  ASSERT_TRUE(w.Visible(d));
  // a shown again by its program and hidden again by mouse is the newest now.
  w.desktop.ShowWindow(a, kSwShow);
  w.RightClickMinimize(a);
  // One window a press, newest first; then nothing is left to bring back.
  std::vector<Hwnd> back;
  for (int i = 0; i < 4; ++i) {
    w.PressShift();
    for (const Hwnd h : {a, b, c})
      if (w.Visible(h) && std::find(back.begin(), back.end(), h) == back.end()) back.push_back(h);
    EXPECT_EQ(back.size(), std::min<std::size_t>(i + 1, 3)) << i;
  }
  EXPECT_EQ(back, (std::vector<Hwnd>{a, c, b}));
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 0);
}

TEST(HotKey, TheKeyIsHeldOnlyWhileOnWithRightClickMinimizingAndAKeySet) {
  KeyWorld w;
  TMainForm& f = w.Form();
  ASSERT_EQ(w.Registered().size(), 2u);
  f.Enabled1Click();  // off
  EXPECT_TRUE(w.Registered().empty());
  const Hwnd target = w.Window("target");
  EXPECT_FALSE(w.Press());
  EXPECT_TRUE(w.Visible(target));
  // A press still queued when its key went is not served.
  w.desktop.PostMessageA(w.corvalet->Host().window, kWmHotKey, kSendAwayKeyId, 0);
  w.Pump();
  EXPECT_TRUE(w.Visible(target));
  f.Enabled1Click();  // on
  EXPECT_EQ(w.Registered().size(), 2u);

  // Ok with another key: the old one is let go first.
  f.FormShow();
  f.Dialog.SetHotKey1((kHotKeyfAlt << 8) | 0x41);
  f.Button3Click();
  ASSERT_EQ(w.Registered().size(), 2u);
  EXPECT_EQ(w.Registered()[0].modifiers, kModAlt);
  EXPECT_EQ(w.Registered()[0].virtualKey, 0x41u);
  EXPECT_EQ(w.IniValue("MinOptions", "HotKey"), std::to_string((kHotKeyfAlt << 8) | 0x41));
  // Right-click minimizing off in a file read again behind the key's back: a press sends
  // nothing away, as a right click would not.
  f.Options().IsRightClick = false;
  const Hwnd other = w.Window("other");
  EXPECT_TRUE(w.Press(kModAlt, 0x41));
  EXPECT_TRUE(w.Visible(other));
  f.Options().IsRightClick = true;
  // Right-click minimizing off: the key would send a window nowhere, so it is not taken.
  f.FormShow();
  f.Dialog.CheckBox4 = false;
  f.Button3Click();
  EXPECT_TRUE(w.Registered().empty());
  f.FormShow();
  f.Dialog.CheckBox4 = true;
  f.Button3Click();
  EXPECT_EQ(w.Registered().size(), 2u);
  // "Set default" clears the key; Ok stores 0 and holds none.
  f.FormShow();
  f.Button5Click();
  EXPECT_EQ(f.Dialog.HotKey1, 0);
  f.Button3Click();
  EXPECT_TRUE(w.Registered().empty());
  EXPECT_EQ(w.IniValue("MinOptions", "HotKey"), "0");
}

TEST(HotKey, ThePanelsKeyIsHeldWhileOnAndOpensThePanelForTheKeyboard) {
  const std::int32_t ctrlAltP = (kCtrlAltF9 & 0xFF00) | 0x50;
  KeyWorld w(KeyIni(kCtrlAltF9,
                    "MinimizeTo=2\r\n[Common]\r\nPanelHotKey=" + std::to_string(ctrlAltP) + "\r\n"),
             true);
  TMainForm& f = w.Form();
  w.Window("editor");
  w.Press();  // into the panel: a cell to focus
  w.Pump();
  // Held whatever the minimizer's options; not while off, and again when on.
  for (const bool rightClick : {false, true}) {
    f.FormShow();
    f.Dialog.CheckBox4 = rightClick;
    f.Button3Click();
    f.Enabled1Click();
    EXPECT_FALSE(w.Press(kCtrlAlt, 0x50)) << rightClick;
    f.Enabled1Click();
    EXPECT_EQ(w.Registered().back(),
              (sim::SimDesktop::HotKey{w.corvalet->Host().window, kPanelKeyId, kCtrlAlt, 0x50}));
  }
  w.Pump();
  const Hwnd other = w.Window("other");
  ASSERT_TRUE(w.Press(kCtrlAlt, 0x50));
  EXPECT_EQ(w.panelWindow.Focus, 0);
  w.panel->KeyDown(PanelKey::Escape);
  EXPECT_EQ(w.desktop.GetForegroundWindow(), other);
  f.Button5Click();  // "Set default": none
  f.Button3Click();
  EXPECT_EQ(w.IniValue("Common", "PanelHotKey"), "0");
  EXPECT_TRUE(w.Registered().empty());
}

TEST(HotKey, NoKeyByDefaultAndNoneLeftAtExitOrTheEndOfTheSession) {
  KeyWorld fresh("");
  EXPECT_TRUE(fresh.Registered().empty());
  EXPECT_EQ(fresh.Form().Dialog.HotKey1, 0);
  EXPECT_EQ(fresh.Form().Dialog.PanelHotKey1, 0);
  KeyWorld w;
  w.Form().WndProc(kWmEndSession, 1, 0);
  EXPECT_TRUE(w.Registered().empty());
  KeyWorld exiting(KeyIni(kCtrlAltF9, "[Common]\r\nPanelHotKey=1616\r\n"));
  exiting.corvalet->Exit();
  EXPECT_TRUE(exiting.desktop.HotKeys.empty());
  EXPECT_EQ(exiting.IniValue("MinOptions", "HotKey"), std::to_string(kCtrlAltF9));
}

TEST(HotKey, AKeyAnotherProgramHoldsIsToldOnThePageAndKeptInTheFile) {
  World w;
  w.SetIni(KeyIni(kCtrlAltF9));
  w.desktop.HeldKeys.push_back({kCtrlAlt, kVkF9});
  ASSERT_TRUE(w.corvalet->Start());
  TMainForm& f = w.corvalet->Form();
  EXPECT_TRUE(f.HotKeys().SendAwayRefused());
  EXPECT_FALSE(f.HotKeys().BringBackRefused());
  ASSERT_EQ(w.desktop.HotKeys.size(), 1u);  // the way back is still there
  EXPECT_EQ(w.desktop.HotKeys[0].id, kBringBackKeyId);
  f.FormShow();
  EXPECT_EQ(f.Dialog.HotKeyNote, f.DialogCaptions.HotKeyTaken);
  EXPECT_EQ(f.Dialog.HotKey1, kCtrlAltF9);
  f.Button3Click();  // the user keeps it
  EXPECT_EQ(w.IniValue("MinOptions", "HotKey"), std::to_string(kCtrlAltF9));
  // Another key: the note goes with the key it was about.
  f.FormShow();
  f.Dialog.SetHotKey1((kHotKeyfAlt << 8) | 0x41);
  EXPECT_EQ(f.Dialog.HotKeyNote, "");
  f.Button3Click();
  f.FormShow();
  EXPECT_EQ(f.Dialog.HotKeyNote, "");
  EXPECT_EQ(w.desktop.HotKeys.size(), 2u);

  // Only Shift with the key held elsewhere: the page says that instead.
  w.desktop.HeldKeys = {{kModAlt | kModShift, 0x41}};
  f.Enabled1Click();
  f.Enabled1Click();
  f.FormShow();
  EXPECT_EQ(f.Dialog.HotKeyNote, f.DialogCaptions.ShiftKeyTaken);
  // The panel's key held elsewhere, or the same as the minimizer's: told on its own page.
  for (const std::int32_t panelKey : {(kHotKeyfAlt << 8) | 0x42, (kHotKeyfAlt << 8) | 0x41}) {
    w.desktop.HeldKeys = {{kModAlt, 0x42}};
    f.FormShow();
    f.Dialog.SetPanelHotKey1(panelKey);
    f.Button3Click();
    f.FormShow();
    EXPECT_EQ(f.Dialog.PanelHotKeyNote, f.DialogCaptions.PanelKeyTaken) << panelKey;
    EXPECT_EQ(w.IniValue("Common", "PanelHotKey"), std::to_string(panelKey));
  }
  // Switched off, nothing is held, so nothing is refused.
  f.Enabled1Click();
  f.FormShow();
  EXPECT_EQ(f.Dialog.HotKeyNote, "");
  EXPECT_EQ(f.Dialog.PanelHotKeyNote, "");
}

TEST(HotKey, AKeyWithShiftHasNoWayBack) {
  const std::int32_t shiftF9 = ((kHotKeyfShift | kHotKeyfControl) << 8) | kVkF9;
  KeyWorld w(KeyIni(shiftF9));
  ASSERT_EQ(w.Registered().size(), 1u);
  EXPECT_EQ(w.Registered()[0].modifiers, kModShift | kModControl);
  EXPECT_FALSE(w.Form().HotKeys().BringBackRefused());
  const Hwnd target = w.Window("target");
  w.Press(kModShift | kModControl);
  EXPECT_FALSE(w.Visible(target));
}

// Hiding a window hides its owner: a dialog the taskbar or the desktop owns is no target.
TEST(HotKey, ADialogTheTaskbarOrTheDesktopOwnsIsNotSentAway) {
  KeyWorld w;
  const Hwnd desk = w.desktop.CreateWindow("Progman", "Program Manager", 0, 7);
  w.desktop.Window(desk)->visible = true;
  for (const Hwnd owner : {w.taskbar->Taskbar(), desk}) {
    w.desktop.Window(owner)->visible = true;
    const Hwnd dialog = w.Window("Confirm");
    w.desktop.Window(dialog)->owner = owner;
    w.Press();
    EXPECT_TRUE(w.Visible(owner)) << owner;
    EXPECT_TRUE(w.Visible(dialog)) << owner;
  }
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 0);
}

// A frozen window would freeze Corvalet in the hide: it stays where it is.
TEST(HotKey, AWindowThatDoesNotAnswerIsNotSentAway) {
  KeyWorld w;
  const Hwnd frozen = w.Window("frozen");
  w.desktop.Window(frozen)->hung = true;
  w.Press();
  EXPECT_TRUE(w.Visible(frozen));
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 0);
}

// Each Shift press brings back a window: one destroyed while hidden is passed over, its icon
// taken away.
TEST(HotKey, AWindowDestroyedWhileHiddenCostsNoPress) {
  KeyWorld w;
  const Hwnd a = w.Window("a");
  w.Press();
  const Hwnd b = w.Window("b");
  w.Press();
  w.desktop.DestroyWindow(b);
  w.PressShift();
  EXPECT_TRUE(w.Visible(a));
  EXPECT_EQ(w.Registry().MinimizedList.Count(), 0);
}

// A key with neither Ctrl nor Alt, written into the file by hand, is made Ctrl+Alt as the
// control makes it: a plain letter would fire wherever it is typed.
TEST(HotKey, AKeyWithoutCtrlOrAltFromTheFileGetsThem) {
  for (const int stored : {0x41, 0x141}) {
    KeyWorld w(KeyIni(stored));
    ASSERT_FALSE(w.Registered().empty()) << stored;
    for (const auto& key : w.Registered())
      EXPECT_EQ(key.modifiers & (kModControl | kModAlt), kModControl | kModAlt) << stored;
  }
}

}  // namespace
}  // namespace cvl::test
