#include "minimizer/HotKey.h"

namespace cvl {

std::uint32_t ModifiersOf(std::uint32_t hotKeyFlags) {
  std::uint32_t modifiers = 0;
  if (hotKeyFlags & kHotKeyfShift) modifiers |= kModShift;
  if (hotKeyFlags & kHotKeyfControl) modifiers |= kModControl;
  if (hotKeyFlags & kHotKeyfAlt) modifiers |= kModAlt;
  return modifiers;
}

std::optional<KeyChord> SendAwayKey(std::int32_t hotKey) {
  const auto value = static_cast<std::uint32_t>(hotKey);
  // Only the control's word: a value from an edited file with more in it is no key.
  if (value > 0xFFFF || (value & 0xFF) == 0) return std::nullopt;
  // As the control makes it: a key with neither Ctrl nor Alt (an edited file's) would fire
  // wherever it is typed, and gets Ctrl+Alt in place of its Shift.
  std::uint32_t modifiers = ModifiersOf(value >> 8);
  if ((modifiers & (kModControl | kModAlt)) == 0) modifiers = kModControl | kModAlt;
  return KeyChord{modifiers, value & 0xFF};
}

std::optional<KeyChord> BringBackKey(std::int32_t hotKey) {
  const auto key = SendAwayKey(hotKey);
  if (!key || (key->modifiers & kModShift) != 0) return std::nullopt;
  return KeyChord{key->modifiers | kModShift, key->virtualKey};
}

std::string HotKeyHint(std::int32_t hotKey) {
  if (SendAwayKey(hotKey) && !BringBackKey(hotKey))
    return "This key includes Shift: no key brings windows back.";
  return "With Shift added, the key brings back the window hidden last.";
}

}  // namespace cvl
