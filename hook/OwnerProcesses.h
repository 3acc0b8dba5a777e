#pragma once
// Whether an icon's owner window is one of Corvalet's, asked of the system once per window: a
// program that adds its icon again and again is not asked about each time (under Wine each
// question about another process's window is a request to the server).
#include <windows.h>

namespace snarehook {

// True when the window belongs to the process that installed the library.
bool OwnedByCorvalet(HWND owner);

}  // namespace snarehook
