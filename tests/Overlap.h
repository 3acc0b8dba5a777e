#pragma once
// The world the overlap tests share: Corvalet started on a taskbar, with helpers that deliver
// a restart or the user's click from inside whatever loop runs at the time.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "World.h"
#include "shell/HookProtocol.h"

namespace cvl::test {

inline void Drain(World& w) {
  for (int i = 0; i < 20 && w.desktop.QueueLength() > 0; ++i) w.Pump();
}

// Programs a and b remembered in the panel or the menu.
inline std::string TwoRemembered(const std::string& section) {
  return "[" + section + " items]\r\nCount=2\r\nIM_0=C:\\Apps\\a.exe\r\nID_0=AWnd\r\n" +
         "IM_1=C:\\Apps\\b.exe\r\nID_1=BWnd\r\n";
}

struct Overlap : World {
  explicit Overlap(const std::string& ini = "[Common]\r\nApStyle=3\r\n") : World(90, true) {
    SetIni(ini);
    EXPECT_TRUE(corvalet->Start());
    Drain(*this);
    createdMessage = desktop.RegisterWindowMessageA("TaskbarCreated");
  }
  Hwnd Form() { return corvalet->Host().window; }
  // A program with one icon, placed.
  sim::SimProgram& Started(const std::string& exe, const std::string& cls, const std::string& tip) {
    sim::SimProgram& p = Program(exe, cls);
    p.AddIcon(1, tip);
    Drain(*this);
    return p;
  }
  TMainForm& F() { return corvalet->Form(); }
  // What the shell's broadcast does: a send (SendNotifyMessage) to every top-level window.
  void Broadcast() { desktop.SendMessageA(Form(), createdMessage, 0, 0); }
  // A new shell, announced from wherever this is called.
  void NewShell() {
    taskbar.reset();
    taskbar = std::make_unique<sim::SimTaskbar>(desktop, 90);
    hook->ShellRestarted(*taskbar);
    Broadcast();
  }
  void RightClickOwnIcon() { desktop.SendMessageA(Form(), kOwnIconCallback, 1, kWmRButtonUp); }
  // The user's right click on the own icon comes in while the shell handles the first button
  // command that hides a button.
  void RightClickDuringTheFirstHide() {
    const Hwnd toolbar = taskbar->Toolbar();
    desktop.Subclass(toolbar, [this, old = desktop.Window(toolbar)->handler](std::uint32_t m,
                                                                             WParam wp, LParam lp) {
      if (m == kTbHideButton && lp == kTbHide && hidesSeen++ == 0)
        desktop.PostMessageA(Form(), kOwnIconCallback, kOwnIconId, kWmRButtonUp);
      return old(m, wp, lp);
    });
  }
  int Position(const TrayMenu& shown, const std::string& caption) {
    for (int i = 0; i < shown.Count(); ++i)
      if (shown.Items[static_cast<std::size_t>(i)].Caption == caption) return i;
    return -1;
  }
  std::vector<std::uint32_t> Clicks(sim::SimProgram& p) {
    std::vector<std::uint32_t> m;
    for (const auto& r : p.Received)
      if (r.msg == sim::kOwnerCallback) m.push_back(static_cast<std::uint32_t>(r.lParam));
    return m;
  }
  std::uint32_t createdMessage = 0;
  int hidesSeen = 0;
};

}  // namespace cvl::test
