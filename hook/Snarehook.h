#pragma once
// The exports of Snarehook.dll, their names exported undecorated.
#include <windows.h>

#include "shell/BalloonRecord.h"

#ifdef SNAREHOOK_BUILD
#define SNAREHOOK_API extern "C" __declspec(dllexport)
#else
#define SNAREHOOK_API extern "C" __declspec(dllimport)
#endif

SNAREHOOK_API BOOL SetTrayHook(void);
SNAREHOOK_API BOOL DeleteTrayHook(void);
// Corvalet hid (TRUE) or showed again (FALSE) a window: if Corvalet dies, the library's
// watchdog shows every window it still hides.
SNAREHOOK_API BOOL NoteHiddenWindow(HWND window, BOOL hidden);
// Corvalet has taken every report waiting for it: the library's count of those on their way
// starts again.
SNAREHOOK_API BOOL ReportsTaken(void);
// Corvalet, before it reads an answer carried in one piece (its end's wParam is the number):
// TRUE when the answer and its tips are Corvalet's to read and delete, FALSE when the library
// has taken them back because its send gave up first.
SNAREHOOK_API BOOL ClaimAnswer(DWORD number);
// Corvalet, told THM_ICONBALLOON: copies the balloon of that number into record and returns
// TRUE, once, while the library still keeps it; FALSE otherwise.
SNAREHOOK_API BOOL TakeBalloon(DWORD number, cvl::BalloonRecord* record);
// Corvalet, after placing the icons: the processes whose icons it places in its panel or menu
// (at most 128 are kept). While it serves, the shell's thread hides such a process's newly
// added button at once. FALSE for a list that cannot be read.
SNAREHOOK_API BOOL SetHiddenProcesses(const DWORD* processes, int count);
// Corvalet's panel is shown (TRUE) or hidden: a program's new picture or tip is told only while
// it is shown; one made while it is hidden is counted instead (UntoldChanges, which wraps).
SNAREHOOK_API BOOL SetPanelShown(BOOL shown);
SNAREHOOK_API DWORD UntoldChanges(void);
