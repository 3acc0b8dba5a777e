#include "views/OwnerClicks.h"

namespace cvl {

bool SendOwnerClicks(Desktop& desktop, ClickTarget target,
                     const std::vector<std::uint32_t>& messages) {
  for (const std::uint32_t m : messages) {
    LResult ignored = 0;
    if (!desktop.SendMessageTimeoutA(target.hWnd, target.uCallbackMessage, target.uID,
                                     static_cast<LParam>(m), kOwnerClickTimeoutMs, &ignored))
      return false;
  }
  return true;
}

}  // namespace cvl
