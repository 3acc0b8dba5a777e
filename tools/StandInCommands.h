#pragma once
// Messages the stand-in taskbar takes at its Shell_TrayWnd from the test helpers.
#include <windows.h>

namespace standin {

// Writes the state file: buttons, clock, notification area.
constexpr UINT kDumpState = WM_APP + 0x77;
// Lays the tray out again (posted to itself).
constexpr UINT kLayout = WM_APP + 0x78;
// Subclasses the taskbar, the notification area and the toolbar with a pass-through procedure,
// on top of whatever is there, as another shell extension would. Returns 1.
constexpr UINT kSubclassOnTop = WM_APP + 0x79;
// With --count: wParam kReadings gives the readings of the tray asked for so far, kTrayWork the
// changes, requests and commands other threads sent the taskbar's windows (reading buttons is
// none): it stands still while nobody works on the tray.
constexpr UINT kCounts = WM_APP + 0x7A;
constexpr WPARAM kReadings = 0;
constexpr WPARAM kTrayWork = 1;

}  // namespace standin
