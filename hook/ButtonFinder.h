#pragma once
// Finds an icon's button without reading every button: the command identifier each icon had
// when last seen is kept as a hint, tried first and checked against the button's record; a
// hint that no longer fits is dropped and the buttons are read in order, as before.
#include <windows.h>

#include <commctrl.h>

#include "TrayRecord.h"

namespace snarehook {

// The index of the icon's button with it and its record, -1 for none.
int FindIconButton(HWND owner, UINT id, TBBUTTON* button, TrayRecord* record);

}  // namespace snarehook
