#include "minimizer/HotKeyTarget.h"

#include <string>

namespace cvl {

namespace {

constexpr std::uint32_t kWsCaption = 0x00C00000;
constexpr int kClassBuffer = 64;
// Bounds the walk up a window tree that changes under it.
constexpr int kMaxDepth = 64;

Hwnd TopLevel(Desktop& desktop, Hwnd window) {
  for (int depth = 0; depth < kMaxDepth && window != 0; ++depth) {
    if ((desktop.GetWindowStyle(window) & kWsChild) == 0) return window;
    window = desktop.GetParent(window);
  }
  return 0;
}

// The desktop window and the shell's desktop behind the icons.
bool IsDesktop(const std::string& className) {
  return className == "#32769" || className == "Progman" || className == "WorkerW";
}

// The desktop, the taskbar or one of Corvalet's own windows.
bool IsExcluded(Desktop& desktop, Hwnd window, const HotKeyExclusions& exclusions) {
  const std::string className = desktop.GetClassNameA(window, kClassBuffer);
  return IsDesktop(className) || className == "Shell_TrayWnd" || window == exclusions.taskbar ||
         desktop.GetWindowThreadProcessId(window) == exclusions.ownProcess;
}

}  // namespace

Hwnd HotKeyTarget(Desktop& desktop, Hwnd foreground, const HotKeyExclusions& exclusions) {
  const Hwnd window = TopLevel(desktop, foreground);
  if (window == 0 || !desktop.IsWindowVisible(window)) return 0;
  if ((desktop.GetWindowStyle(window) & kWsCaption) != kWsCaption) return 0;
  if (IsExcluded(desktop, window, exclusions)) return 0;
  // Hiding a window hides its owner too: a dialog the desktop or the taskbar owns (a delete
  // confirmed on the desktop) would take them with it.
  Hwnd owner = desktop.GetOwner(window);
  for (int depth = 0; depth < kMaxDepth && owner != 0; ++depth) {
    if (IsExcluded(desktop, owner, exclusions)) return 0;
    owner = desktop.GetOwner(owner);
  }
  if (exclusions.hidden != nullptr)
    for (const TIconInfo& entry : *exclusions.hidden)
      if (entry.hWnd == window) return 0;
  return window;
}

}  // namespace cvl
