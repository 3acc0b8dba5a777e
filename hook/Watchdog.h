#pragma once
// The watchdog: it notes what Corvalet hides and, when Corvalet's window is gone without
// switching off, gives the tray back.
#include <windows.h>

#include <optional>

#include "shell/NotifyCopyData.h"

namespace snarehook {

void StartWatchdog();
void StopWatchdog();
// True when msg was the watchdog's tick.
bool WatchdogMessage(UINT msg, WPARAM wp);
// A button Corvalet hid (or showed again).
void TrackHidden(int command, bool hidden);
// Every button Corvalet hid is shown again, but for those their programs hide.
void ShowHiddenButtons();
// After the shell took an owner's Shell_NotifyIcon message: an icon of Corvalet's windows
// added or deleted.
void TrackCorvaletIcon(const std::optional<cvl::NotifyCopyData>& n);

}  // namespace snarehook
