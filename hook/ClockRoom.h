#pragma once
// The room for the button near the clock: the notification area moves left by the room and
// keeps its width, so that the taskbar's right end is free and nothing covers the button.
#include <windows.h>

namespace snarehook {

void SetRoom(LONG room);
// Corvalet is gone: the clock it may have folded away comes back, but never one the user hid.
void ShowFoldedClock();
// The notification area's messages: true when the message was answered here (result).
bool NotifyMessage(UINT msg, LPARAM lp, LRESULT& result);

}  // namespace snarehook
