#include "ClockRoom.h"

#include "SharedSection.h"
#include "shell/HookProtocol.h"

namespace snarehook {

namespace {

constexpr LONG kButtonRoom = 24;
bool g_settingRoom;

// A bar at the left or right edge is taller than wide; its notification area stands at its
// bottom, and the room is made there, along the bar, as it is at a horizontal bar's right end.
bool VerticalBar(HWND taskbar) {
  RECT bar;
  return GetWindowRect(taskbar, &bar) && bar.bottom - bar.top > bar.right - bar.left;
}

}  // namespace

void SetRoom(LONG room) {
  const LONG delta = room - g_shared.room;
  if (delta == 0 || g_shared.notify == nullptr) return;
  RECT r;
  const HWND parent = GetParent(g_shared.notify);
  if (!IsWindow(g_shared.notify) || parent == nullptr || !GetWindowRect(g_shared.notify, &r))
    return;
  SetLastError(0);
  if (MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2) == 0 && GetLastError() != 0)
    return;
  if (room > 0 && g_shared.room == 0) {
    // The clock as the user had it: only a clock that was shown is Corvalet's to show again.
    g_shared.clock = FindWindowExA(g_shared.notify, nullptr, "TrayClockWClass", nullptr);
    g_shared.clockWasVisible = g_shared.clock != nullptr && IsWindowVisible(g_shared.clock);
  }
  g_shared.room = room;
  g_settingRoom = true;
  const bool vertical = VerticalBar(parent);
  SetWindowPos(g_shared.notify, nullptr, vertical ? r.left : r.left - delta,
               vertical ? r.top - delta : r.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
  g_settingRoom = false;
}

void ShowFoldedClock() {
  if (g_shared.clockWasVisible && g_shared.clock != nullptr && IsWindow(g_shared.clock) &&
      !IsWindowVisible(g_shared.clock))
    ShowWindow(g_shared.clock, SW_SHOW);
  g_shared.clockWasVisible = 0;
}

bool NotifyMessage(UINT msg, LPARAM lp, LRESULT& result) {
  using namespace cvl;
  if (msg == THM_BUTTONSWITCH) InterlockedIncrement(&g_shared.requested);
  if (msg == THM_BUTTONSWITCH &&
      (static_cast<UINT>(lp) == THM_ON || static_cast<UINT>(lp) == THM_OFF)) {
    SetRoom(static_cast<UINT>(lp) == THM_ON ? kButtonRoom : 0);
    result = 1;
    return true;
  }
  // The shell lays the notification area out at the taskbar's far end: keep it the room
  // further left (or, in a vertical bar, further up).
  if (g_shared.room > 0 && !g_settingRoom && msg == WM_WINDOWPOSCHANGING) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
    if (pos != nullptr && !(pos->flags & SWP_NOMOVE)) {
      if (VerticalBar(GetParent(g_shared.notify)))
        pos->y -= g_shared.room;
      else
        pos->x -= g_shared.room;
    }
  }
  return false;
}

}  // namespace snarehook
