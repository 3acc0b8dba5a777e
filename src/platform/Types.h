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

// The window messages of the system that the core names.
inline constexpr std::uint32_t kWmEndSession = 0x0016;
inline constexpr std::uint32_t kWmUser = 0x0400;
inline constexpr std::uint32_t kWmApp = 0x8000;

// ShowWindow commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShow = 5;

}  // namespace cvl
