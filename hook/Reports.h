#pragma once
// Reports of tray changes on their way to Corvalet. They are posted, so that the shell never
// waits for Corvalet; but a post can fail (a thread's queue holds at most 10,000 messages), and
// a Corvalet far behind is not buried deeper. What could not go is marked in the shared
// section and told again from a timer on the taskbar: each added icon by itself, since
// Corvalet places a new icon by its owner and ID, and every other change as one delete report
// that names the toolbar, which Corvalet answers by reading the whole tray again.
#include <windows.h>

namespace snarehook {

// Posts the report, or marks it when it cannot go or something marked waits before it.
void TellReport(HWND form, UINT report, DWORD owner, UINT id);
// The timer that tells the marks again; true when msg was it.
bool ReportsMessage(UINT msg, WPARAM wp);
// Posts THM_ICONBALLOON, or marks it for the timer when it cannot go.
void TellBalloon(HWND form, HWND owner, LONG number);
// Switched on or off: a new reading covers whatever was marked.
void ForgetMissedReports();

}  // namespace snarehook
