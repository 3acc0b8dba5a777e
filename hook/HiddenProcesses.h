#pragma once
// The processes whose icons Corvalet places in its panel or menu, as Corvalet last told them.
// A listed program that adds an icon (again, most often: removed and re-added) has its button
// hidden on the shell's thread right after the shell added it, so that it is never drawn in
// the tray while Corvalet reads the tray and asks for the hide.
#include <windows.h>

#include "shell/NotifyCopyData.h"

namespace snarehook {

// Switched off, or Corvalet gone: nothing is hidden ahead any more.
void ForgetHiddenProcesses();
// After the shell took a program's record.
void HideListedAdd(const cvl::NotifyCopyData& n);

}  // namespace snarehook
