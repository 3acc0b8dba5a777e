#pragma once
// The minimizer's key as the hotkey control gives it: the virtual key in the low byte, the
// control's HOTKEYF_ flags in the high byte. RegisterHotKey wants MOD_ flags, numbered
// differently; the extended-key flag is no modifier and is dropped.
#include <cstdint>
#include <optional>
#include <string>

namespace cvl {

inline constexpr std::uint32_t kWmHotKey = 0x0312;

inline constexpr std::uint32_t kHotKeyfShift = 0x01;
inline constexpr std::uint32_t kHotKeyfControl = 0x02;
inline constexpr std::uint32_t kHotKeyfAlt = 0x04;
inline constexpr std::uint32_t kHotKeyfExt = 0x08;

inline constexpr std::uint32_t kModAlt = 0x0001;
inline constexpr std::uint32_t kModControl = 0x0002;
inline constexpr std::uint32_t kModShift = 0x0004;

// The identifiers the two keys are registered under on the main form's window.
inline constexpr int kSendAwayKeyId = 1;
inline constexpr int kBringBackKeyId = 2;
// The Corvalet Panel's key, on the same window.
inline constexpr int kPanelKeyId = 3;

struct KeyChord {
  std::uint32_t modifiers = 0;  // MOD_ flags
  std::uint32_t virtualKey = 0;
  bool operator==(const KeyChord&) const = default;
};

std::uint32_t ModifiersOf(std::uint32_t hotKeyFlags);
// The key that sends the active window away; none for 0 or a value without a key.
std::optional<KeyChord> SendAwayKey(std::int32_t hotKey);
// The same key with Shift, which brings back the window hidden last; none where the key
// already includes Shift.
std::optional<KeyChord> BringBackKey(std::int32_t hotKey);
// The control's tooltip for a key.
std::string HotKeyHint(std::int32_t hotKey);

}  // namespace cvl
