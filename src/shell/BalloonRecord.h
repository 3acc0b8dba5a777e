#pragma once
// A balloon the hook kept from the shell for Corvalet: the fields of the owner's
// NOTIFYICONDATA that make it, its text as ANSI. The library keeps the last few, numbered, and
// Corvalet takes one by the number THM_ICONBALLOON carried (the export TakeBalloon copies it
// into the caller's record). An empty text clears the icon's balloon.
#include <cstdint>

namespace cvl {

struct BalloonRecord {
  std::uint32_t number = 0;  // 0: none
  std::uint32_t owner = 0;   // the icon's window
  std::uint32_t uID = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uint32_t uTimeout = 0;
  std::uint32_t dwInfoFlags = 0;
  char szInfoTitle[64] = {};
  char szInfo[256] = {};
};

static_assert(sizeof(BalloonRecord) == 24 + 64 + 256, "the library's and Corvalet's layout");

// The balloon's messages, which the shell sends to an icon's callback (lParam; wParam the ID).
inline constexpr std::uint32_t kNinBalloonShow = 0x402;
inline constexpr std::uint32_t kNinBalloonHide = 0x403;
inline constexpr std::uint32_t kNinBalloonTimeout = 0x404;
inline constexpr std::uint32_t kNinBalloonUserClick = 0x405;

}  // namespace cvl
