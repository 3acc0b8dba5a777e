#include "minimizer/TMinForm.h"

#include <vector>

#include "registry/OwnerExecutablePath.h"

namespace cvl {

namespace {

constexpr int kClassBuffer = 254;
constexpr int kTipBuffer = 64;  // 63 characters and the terminating zero

}  // namespace

TMinForm::TMinForm(Desktop& desktop, HookLibrary& hook, const TOptions& options,
                   RegistryState& state, CaptionIcons& icons)
    : desktop_(desktop), hook_(hook), options_(options), state_(state), icons_(icons) {}

void TMinForm::FormCreate() {
  IconMessageCounter = 1;
}

bool TMinForm::OnMinimizeButton(Hwnd window) {
  const Rect r = desktop_.GetWindowRect(window);
  const int size = desktop_.GetSystemMetrics(kSmCxSize);
  const int left = r.Width() - desktop_.GetSystemMetrics(kSmCxFrame) - 3 * size;
  const int right = left + size - 2;
  const int top = desktop_.GetSystemMetrics(kSmCyFrame) + 2;
  const int bottom = top + desktop_.GetSystemMetrics(kSmCySize) - 4;
  const Point cursor = desktop_.GetCursorPos();
  const int x = cursor.x - r.left, y = cursor.y - r.top;
  return left <= x && x <= right && top <= y && y <= bottom;
}

bool TMinForm::HasMinimizeBox(Hwnd window) {
  return (desktop_.GetWindowStyle(window) & kWsCaptionAndMinimizeBox) == kWsCaptionAndMinimizeBox;
}

void TMinForm::MinButtonRightClick(Hwnd window) {
  // Only top-level windows: hiding a child would leave its parent's caption for ever empty.
  if (window == 0 || (desktop_.GetWindowStyle(window) & kWsChild) != 0) return;
  if (!OnMinimizeButton(window) || !HasMinimizeBox(window) || !options_.IsRightClick) return;
  MinimizeWindow(window);
}

bool TMinForm::IsHidden(Hwnd window) const {
  for (const TIconInfo& entry : state_.MinimizedList)
    if (entry.hWnd == window) return true;
  return false;
}

void TMinForm::MinimizeWindow(Hwnd window) {
  CurrentWindow = window;
  // Shown again by its own program and right-clicked again: it has its icon already.
  const bool again = IsHidden(window);
  HideWindow(window);
  if (!again) AddWindowIcon(window);
  if (IsHidden(window)) order_.Push(window);  // not where the shell refused its icon
}

void TMinForm::KeyMinimize(Hwnd window) {
  if (window != 0 && options_.IsRightClick) MinimizeWindow(window);
}

void TMinForm::RestoreLast() {
  // A window destroyed while hidden costs no press: its icon goes, and the next one comes back.
  while (const auto window = order_.Newest()) {
    if (desktop_.IsWindow(*window)) {
      BringBack(*window);
      return;
    }
    RemoveWindowIcon(*window);
    hook_.NoteHiddenWindow(*window, false);
  }
}

void TMinForm::HideWindow(Hwnd window) {
  desktop_.ShowWindow(window, kSwShowMinimized);
  // The parent is never hidden: only the owner, which RestoreWindow shows again.
  desktop_.ShowWindow(desktop_.GetOwner(window), kSwHide);
  desktop_.ShowWindow(window, kSwHide);
  hook_.NoteHiddenWindow(window, true);
}

void TMinForm::RestoreWindow(Hwnd window) {
  desktop_.ShowWindow(desktop_.GetOwner(window), kSwRestore);
  desktop_.ShowWindow(window, kSwRestore);
  desktop_.SetForegroundWindow(window);
  desktop_.SetActiveWindow(window);
  hook_.NoteHiddenWindow(window, false);
}

NotifyIconData TMinForm::IconData(Hwnd window) const {
  NotifyIconData data;
  data.hWnd = window_;
  data.uID = window;
  return data;
}

void TMinForm::AddWindowIcon(Hwnd window) {
  TIconInfo entry;
  entry.hWnd = window;
  entry.uID = window;
  entry.uCallbackMessage = kMinIconMessageBase + static_cast<std::uint32_t>(NextIconMessage());
  entry.hIcon = icons_.MakeCaptionIcon(window);
  entry.ExePath = OwnerExecutablePath(desktop_, window);
  entry.ClassName = desktop_.GetClassNameA(window, kClassBuffer);
  state_.MinimizedList.Add(entry);

  if (!AddNotifyIcon(entry)) {
    // No icon, no way back: the window comes back at once, and no place waits for an icon
    // that will never be reported.
    for (int i = 0; i < state_.MinimizedList.Count(); ++i)
      if (state_.MinimizedList[i].hWnd == window) state_.MinimizedList.Delete(i + 1);
    if (entry.hIcon != 0) icons_.DestroyIcon(entry.hIcon);
    RestoreWindow(window);
    return;
  }
  state_.PendingMinimizePlace = options_.MinimizeTo;
}

NotifyIconData TMinForm::NotifyData(const TIconInfo& entry) const {
  NotifyIconData data = IconData(entry.hWnd);
  data.uFlags = kNifMessage | kNifIcon | kNifTip;
  data.uCallbackMessage = entry.uCallbackMessage;
  data.hIcon = entry.hIcon;
  data.szTip = desktop_.GetWindowTextA(entry.hWnd, kTipBuffer);
  return data;
}

bool TMinForm::AddNotifyIcon(const TIconInfo& entry) {
  return desktop_.Shell_NotifyIconA(kNimAdd, NotifyData(entry));
}

void TMinForm::ShellRestarted(bool sameTaskbar) {
  // The windows stay hidden. After a real restart their icons went with the old tray and each
  // comes back where the tray's re-reading puts it; after a broadcast to the same tray they are
  // still there and are only modified. A window whose icon a new shell refuses comes back
  // itself; the same shell may only be busy, and the icon it still holds is the way back.
  const std::vector<TIconInfo> hidden(state_.MinimizedList.begin(), state_.MinimizedList.end());
  for (const TIconInfo& entry : hidden) {
    if (desktop_.Shell_NotifyIconA(kNimModify, NotifyData(entry)) || AddNotifyIcon(entry) ||
        sameTaskbar)
      continue;
    RemoveWindowIcon(entry.hWnd);
    RestoreWindow(entry.hWnd);
  }
}

Hwnd TMinForm::WindowOfMessage(std::uint32_t message) const {
  for (const TIconInfo& entry : state_.MinimizedList)
    if (entry.uCallbackMessage == message) return entry.hWnd;
  return 0;
}

void TMinForm::RemoveWindowIcon(Hwnd window) {
  order_.Remove(window);
  if (state_.MinimizedList.Count() == 0) return;
  for (int i = 0; i < state_.MinimizedList.Count(); ++i) {
    if (state_.MinimizedList[i].hWnd != window) continue;
    if (state_.MinimizedList[i].hIcon != 0) icons_.DestroyIcon(state_.MinimizedList[i].hIcon);
    state_.MinimizedList.Delete(i + 1);
    break;
  }
  desktop_.Shell_NotifyIconA(kNimDelete, IconData(window));
}

void TMinForm::WndProc(std::uint32_t msg, WParam, LParam lParam) {
  if (static_cast<std::uint32_t>(lParam) != kWmLButtonUp) return;
  const Hwnd window = WindowOfMessage(msg);
  if (window != 0) BringBack(window);
}

void TMinForm::BringBack(Hwnd window) {
  CurrentWindow = window;
  RemoveWindowIcon(window);
  RestoreWindow(window);
}

void TMinForm::FormDestroy() {
  std::vector<Hwnd> windows;
  for (const TIconInfo& entry : state_.MinimizedList) windows.push_back(entry.hWnd);
  for (const Hwnd window : windows) RestoreWindow(window);
  for (const Hwnd window : windows) RemoveWindowIcon(window);
}

}  // namespace cvl
