#pragma once
// The bitmap header of either half of the icon pixels (shell/IconBits.h): 32 bits a pixel, rows
// top-down. Used where the pixels are read (the hook) and where they are drawn (Corvalet).
#include <windows.h>

#include "shell/IconBits.h"

inline BITMAPINFO IconBitsInfo(DWORD width, DWORD height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = static_cast<LONG>(width);
  bi.bmiHeader.biHeight = -static_cast<LONG>(height);
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}
