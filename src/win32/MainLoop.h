#pragma once
// The message the main loop is dispatching, null outside its dispatch. A handler can tell from
// it whether its message came from there or from a loop nested inside (a menu, a message box),
// whose input is not ours to take.
#include <windows.h>

namespace cvl::win32 {

inline const MSG* g_mainLoopMessage = nullptr;

}  // namespace cvl::win32
