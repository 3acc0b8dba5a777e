#pragma once
// The minimizer: a right click on a window's minimize button hides the window behind a tray
// icon of Corvalet's own, which can go to the tray, the panel or the menu; a left click on it
// brings the window back. Every hidden window comes back when Corvalet exits.
#include <cstdint>

#include "minimizer/CaptionIcons.h"
#include "minimizer/HiddenOrder.h"
#include "platform/Desktop.h"
#include "platform/HookLibrary.h"
#include "registry/RegistryState.h"
#include "settings/TOptions.h"

namespace cvl {

// Callback messages of the minimizer's icons: 0x428 + the counter, so 0x42A for the first.
inline constexpr std::uint32_t kMinIconMessageBase = 0x428;

class TMinForm {
 public:
  TMinForm(Desktop& desktop, HookLibrary& hook, const TOptions& options, RegistryState& state,
           CaptionIcons& icons);
  TMinForm(const TMinForm&) = delete;
  TMinForm& operator=(const TMinForm&) = delete;

  // The hidden window that owns the icons and gets their callbacks.
  void SetWindow(Hwnd window) {
    window_ = window;
    state_.MinimizerWindow = window;
  }
  Hwnd Window() const { return window_; }

  std::int32_t IconMessageCounter = 0;
  Hwnd CurrentWindow = 0;

  void FormCreate();
  void FormDestroy();
  // THM_MINBUTTONRCLICK: the hit test on the minimize button, the style and the setting.
  void MinButtonRightClick(Hwnd window);
  // True when the cursor, relative to the window, lies in its minimize button's box.
  bool OnMinimizeButton(Hwnd window);
  void MinimizeWindow(Hwnd window);
  // The minimizer's key: the window goes as a right click on its minimize button sends it,
  // whatever its buttons; nothing while right-click minimizing is off.
  void KeyMinimize(Hwnd window);
  // The key with Shift: the window hidden last comes back as a click on its icon brings it.
  void RestoreLast();
  const HiddenOrder& Order() const { return order_; }
  bool HasMinimizeBox(Hwnd window);
  void HideWindow(Hwnd window);
  void RestoreWindow(Hwnd window);
  void AddWindowIcon(Hwnd window);
  std::int32_t NextIconMessage() { return ++IconMessageCounter; }
  Hwnd WindowOfMessage(std::uint32_t message) const;
  void RemoveWindowIcon(Hwnd window);
  // A new taskbar: every hidden window's icon is added to its tray again. The same one (only a
  // broadcast): what is missing is added, and no window comes back for a busy tray.
  void ShellRestarted(bool sameTaskbar = false);
  // The hidden window's messages: the icons' callbacks.
  void WndProc(std::uint32_t msg, WParam wParam, LParam lParam);

 private:
  bool IsHidden(Hwnd window) const;
  NotifyIconData IconData(Hwnd window) const;
  NotifyIconData NotifyData(const TIconInfo& entry) const;
  bool AddNotifyIcon(const TIconInfo& entry);
  // What a left click on the window's icon does.
  void BringBack(Hwnd window);

  Desktop& desktop_;
  HookLibrary& hook_;
  const TOptions& options_;
  RegistryState& state_;
  CaptionIcons& icons_;
  Hwnd window_ = 0;
  HiddenOrder order_;
};

}  // namespace cvl
