#pragma once
#include <string>

#include "platform/Desktop.h"

namespace cvl {

// The full path of the executable of the process that owns the window: the first module whose
// name ends in "E" or "e", else the last module read; empty when no module can be read.
std::string OwnerExecutablePath(Desktop& desktop, Hwnd window);

}  // namespace cvl
