#pragma once
// Reading the shell's tray toolbar from inside the shell, never trusting what it points at.
#include <windows.h>

#include <commctrl.h>

#include "TrayRecord.h"

namespace snarehook {

// The whole range is committed, readable memory.
bool Readable(const void* p, SIZE_T size);
// The button at index and the record behind its dwData; false when either cannot be read.
bool ReadButton(int index, TBBUTTON* button, TrayRecord* record);

}  // namespace snarehook
