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

}  // namespace

Hwnd HotKeyTarget(Desktop& desktop, Hwnd foreground, const HotKeyExclusions& exclusions) {
  const Hwnd window = TopLevel(desktop, foreground);
  if (window == 0 || !desktop.IsWindowVisible(window)) return 0;
  if ((desktop.GetWindowStyle(window) & kWsCaption) != kWsCaption) return 0;
  const std::string className = desktop.GetClassNameA(window, kClassBuffer);
  if (IsDesktop(className) || className == "Shell_TrayWnd" || window == exclusions.taskbar)
    return 0;
  if (desktop.GetWindowThreadProcessId(window) == exclusions.ownProcess) return 0;
  if (exclusions.hidden != nullptr)
    for (const TIconInfo& entry : *exclusions.hidden)
      if (entry.hWnd == window) return 0;
  return window;
}

}  // namespace cvl
