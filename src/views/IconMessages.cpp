#include "views/IconMessages.h"

#include "platform/Types.h"

namespace cvl {

std::vector<std::uint32_t> KeyMessages(std::uint32_t version, IconKey key) {
  if (version < kNotifyIconVersion) return {kWmRButtonDown, kWmRButtonUp};
  return {key == IconKey::Activate ? kNinKeySelect : kWmContextMenu};
}

std::vector<std::uint32_t> MouseMessages(std::uint32_t version,
                                         std::initializer_list<std::uint32_t> mouse) {
  std::vector<std::uint32_t> messages;
  for (const std::uint32_t m : mouse) {
    messages.push_back(m);
    if (m == kWmLButtonUp && version >= kNotifyIconVersion) messages.push_back(kNinSelect);
  }
  return messages;
}

}  // namespace cvl
