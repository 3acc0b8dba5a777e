#include "views/OwnerClicks.h"

namespace cvl {

bool SendOwnerClicks(Desktop& desktop, ClickTarget target,
                     std::initializer_list<std::uint32_t> mouseMessages) {
  for (const std::uint32_t m : mouseMessages) {
    LResult ignored = 0;
    if (!desktop.SendMessageTimeoutA(target.hWnd, target.uCallbackMessage, target.uID,
                                     static_cast<LParam>(m), kOwnerClickTimeoutMs, &ignored))
      return false;
  }
  return true;
}

}  // namespace cvl
