#pragma once
// Conversions between the core's 32-bit handle values and the Windows types.
#include <windows.h>

#include <cstdint>

#include "platform/Types.h"

namespace cvl::win32 {

inline HWND ToHwnd(Hwnd h) {
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(h));
}
inline Hwnd FromHwnd(HWND h) {
  return static_cast<Hwnd>(reinterpret_cast<std::uintptr_t>(h));
}
inline HICON ToHicon(Hicon h) {
  return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(h));
}
inline Hicon FromHicon(HICON h) {
  return static_cast<Hicon>(reinterpret_cast<std::uintptr_t>(h));
}

}  // namespace cvl::win32
