#pragma once
// Clicks passed on to an icon's owner as its callback message, the way the tray passes them:
// message uCallbackMessage, wParam uID, lParam the mouse message. Each send is bounded and
// gives up at once on a hung owner; once one has failed the rest of the sequence is dropped,
// so that no later message can overtake an earlier one still on its way.
#include <cstdint>
#include <vector>

#include "platform/Desktop.h"
#include "registry/TIconInfo.h"

namespace cvl {

// Long enough for an owner that opens its own menu on the click and waits for the user.
inline constexpr std::uint32_t kOwnerClickTimeoutMs = 60000;

// Where an icon's clicks go, copied from its record before the first send: each send lets
// messages in, and what they run may change the list the record lives in.
struct ClickTarget {
  Hwnd hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uCallbackMessage = 0;
  std::uint32_t uVersion = 0;
};
inline ClickTarget ClickTargetOf(const TIconInfo& record) {
  return {record.hWnd, record.uID, record.uCallbackMessage, record.uVersion};
}

// True when every message of the sequence was taken.
bool SendOwnerClicks(Desktop& desktop, ClickTarget target,
                     const std::vector<std::uint32_t>& messages);

}  // namespace cvl
