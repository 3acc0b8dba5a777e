#pragma once
// Values that cross between the core and the operating system. Windows handles are 32-bit
// values in the 32-bit product, so the core keeps them as plain integers.
#include <cstdint>

namespace cvl {

using Hwnd = std::uint32_t;
using Hicon = std::uint32_t;
using Hmodule = std::uint32_t;
using Handle = std::uint32_t;
using Atom = std::uint16_t;
using WParam = std::uint32_t;
using LParam = std::int32_t;
using LResult = std::int32_t;

inline constexpr Handle kInvalidHandle = 0xFFFFFFFFu;

struct Point {
  int x = 0;
  int y = 0;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// The window messages of the system that the core names.
inline constexpr std::uint32_t kWmEndSession = 0x0016;
inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t kWmApp = 0x8000;

// Shell_NotifyIcon's later flags (Windows 2000 and after) and the hidden state.
inline constexpr std::uint32_t kNifState = 0x08;
inline constexpr std::uint32_t kNifInfo = 0x10;
inline constexpr std::uint32_t kNisHidden = 0x01;

// The mouse messages that clicks are forwarded as.
inline constexpr std::uint32_t kWmMouseMove = 0x0200;
inline constexpr std::uint32_t kWmLButtonDown = 0x0201;
inline constexpr std::uint32_t kWmLButtonUp = 0x0202;
inline constexpr std::uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr std::uint32_t kWmRButtonDown = 0x0204;
inline constexpr std::uint32_t kWmRButtonUp = 0x0205;
inline constexpr std::uint32_t kWmContextMenu = 0x007B;

// GetSystemMetrics indexes.
inline constexpr int kSmCxDlgFrame = 7;
inline constexpr int kSmCyDlgFrame = 8;
inline constexpr int kSmCxFrame = 32;
inline constexpr int kSmCyFrame = 33;
inline constexpr int kSmCxSize = 30;
inline constexpr int kSmCySize = 31;
inline constexpr int kSmCxSmIcon = 49;
inline constexpr int kSmCySmIcon = 50;

// ShowWindow commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShowMinimized = 2;
inline constexpr int kSwShow = 5;
inline constexpr int kSwRestore = 9;

// Window styles the minimizer reads.
inline constexpr std::uint32_t kWsChild = 0x40000000;
inline constexpr std::uint32_t kWsCaptionAndMinimizeBox = 0x00C20000;

}  // namespace cvl
