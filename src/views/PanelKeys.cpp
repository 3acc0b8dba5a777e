#include "views/PanelKeys.h"

namespace cvl {

namespace {

constexpr std::uint32_t kVkReturn = 0x0D;
constexpr std::uint32_t kVkEscape = 0x1B;
constexpr std::uint32_t kVkSpace = 0x20;
constexpr std::uint32_t kVkEnd = 0x23;
constexpr std::uint32_t kVkHome = 0x24;
constexpr std::uint32_t kVkLeft = 0x25;
constexpr std::uint32_t kVkRight = 0x27;
constexpr std::uint32_t kVkApps = 0x5D;
constexpr std::uint32_t kVkF10 = 0x79;

}  // namespace

std::optional<PanelKey> PanelKeyOf(std::uint32_t virtualKey, bool shift) {
  switch (virtualKey) {
    case kVkLeft:
      return PanelKey::Left;
    case kVkRight:
      return PanelKey::Right;
    case kVkHome:
      return PanelKey::Home;
    case kVkEnd:
      return PanelKey::End;
    case kVkReturn:
    case kVkSpace:
      return PanelKey::Activate;
    case kVkApps:
      return PanelKey::ContextMenu;
    case kVkF10:
      if (shift) return PanelKey::ContextMenu;
      return std::nullopt;
    case kVkEscape:
      return PanelKey::Escape;
    default:
      return std::nullopt;
  }
}

}  // namespace cvl
