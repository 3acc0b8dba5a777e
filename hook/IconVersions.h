#pragma once
// The version each program set for its icons (NIM_SETVERSION, Windows 2000 and later), kept in
// the shell's copy of the library: the shell sends an icon's program other messages for the
// keyboard (and some after the mouse's) once it asked for version 3, and Corvalet, which sends
// them in the shell's place for the icons it shows, must send the same.
#include <windows.h>

#include "shell/NotifyCopyData.h"

namespace snarehook {

// 0 for an icon whose program set no version since it added it.
UINT IconVersion(HWND owner, UINT id);
// After the shell took a program's record: true when it changed the icon's version.
bool NoteIconVersion(const cvl::NotifyCopyData& n);
// Attached again: versions set while the library was not there went unseen.
void ForgetIconVersions();

}  // namespace snarehook
