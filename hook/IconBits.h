#pragma once
// The icon pixels the hook hands Corvalet in a WM_COPYDATA, so that Corvalet can draw icons
// whose handles are not valid outside the shell's process (Wine): { DWORD handle, width,
// height; DWORD colour[width * height]; DWORD mask[width * height] }, both 32-bit, top-down.
#include <windows.h>

inline constexpr ULONG_PTR kIconBitsTag = 0x534E4943;
inline constexpr DWORD kIconBitsMaxSide = 64;

inline constexpr DWORD IconBitsSize(DWORD width, DWORD height) {
  return 12 + 8 * width * height;
}

// The bitmap header of either half: 32 bits a pixel, rows top-down.
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
