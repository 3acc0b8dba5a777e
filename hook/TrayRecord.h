#pragma once
// What the classic shell keeps behind each tray toolbar button's dwData (32-bit offsets 0, 4, 8,
// 12, 16 and 20).
#include <windows.h>

struct TrayRecord {
  HWND hwnd;
  UINT uID;
  UINT uCallbackMessage;
  DWORD reserved[2];
  HICON hIcon;
};

static_assert(sizeof(TrayRecord) == 24, "the shell's record layout");
