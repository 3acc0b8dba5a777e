#pragma once
// Reading the shell's tray toolbar from inside the shell, never trusting what it points at.
#include <windows.h>

#include <commctrl.h>

#include <optional>

#include "TrayRecord.h"
#include "shell/NotifyCopyData.h"

namespace snarehook {

// The whole range is committed, readable memory.
bool Readable(const void* p, SIZE_T size);
// The button at index and the record behind its dwData; false when either cannot be read.
bool ReadButton(int index, TBBUTTON* button, TrayRecord* record);
// What an owner asked of the shell in the WM_COPYDATA it sent; nothing when it cannot be read.
std::optional<cvl::NotifyCopyData> ReadNotify(const COPYDATASTRUCT* cds);

}  // namespace snarehook
