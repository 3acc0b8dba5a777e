#pragma once
// Balloons of icons whose buttons Corvalet hid. The shell would show such a balloon at a hidden
// button, or not at all: the library takes NIF_INFO out of what the shell sees, keeps the
// balloon in the shared section, numbered, and tells Corvalet its number (THM_ICONBALLOON);
// Corvalet shows it at its own icon and passes the shell's balloon messages on to the program.
#include <windows.h>

#include <optional>

#include "shell/NotifyCopyData.h"

namespace snarehook {

// Handles a program's WM_COPYDATA to the taskbar: when it carries a balloon for a button
// Corvalet hid, the shell gets it without the balloon and Corvalet is told. Returns the
// shell's result; false in handled when the record is the shell's as it came.
LRESULT RelayBalloon(HWND w, WPARAM wp, const COPYDATASTRUCT* cds,
                     const std::optional<cvl::NotifyCopyData>& n, bool& handled);

}  // namespace snarehook
