#pragma once
// What programs asked of their icons' hidden state (NIF_STATE with NIS_HIDDEN), kept in the
// shell's copy of the library. The shell hides such a button itself, just as Corvalet hides
// the buttons it places in its panel and menu; the two are told apart here, so that neither
// shows a button the other hides.
#include <windows.h>

#include "TrayRecord.h"
#include "shell/NotifyCopyData.h"

namespace snarehook {

bool ProgramHid(HWND owner, UINT id);
// Attached again: what programs asked while the library was not there went unseen, and what
// it kept from before may no longer be so.
void ForgetProgramStates();
// The button's icon is hidden by its program.
bool ProgramHidButton(int command);
// After the shell took a program's record: true when it changed the icon's hidden state.
bool NoteProgramState(const cvl::NotifyCopyData& n);
// The button Corvalet hid, as TrackHidden keeps them.
bool CorvaletHid(int command);
// The button of an icon and its record, -1 for none.
int CommandOf(HWND owner, UINT id, TrayRecord* record);

}  // namespace snarehook
