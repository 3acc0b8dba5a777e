#include "views/OwnerClicks.h"

namespace cvl {

bool SendOwnerClicks(Desktop& desktop, const TIconInfo& record,
                     std::initializer_list<std::uint32_t> mouseMessages) {
  // Copied first: each send lets messages in, and what they run may change the record's list.
  const Hwnd owner = record.hWnd;
  const std::uint32_t callback = record.uCallbackMessage;
  const std::uint32_t id = record.uID;
  for (const std::uint32_t m : mouseMessages) {
    LResult ignored = 0;
    if (!desktop.SendMessageTimeoutA(owner, callback, id, static_cast<LParam>(m),
                                     kOwnerClickTimeoutMs, &ignored))
      return false;
  }
  return true;
}

}  // namespace cvl
