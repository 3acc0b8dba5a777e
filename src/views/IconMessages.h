#pragma once
// What the shell sends an icon's program, by the version the program set for the icon
// (NIM_SETVERSION): the panel and the menu send the same in the shell's place.
//
// For the first version the keyboard's activation (Enter, Space) and its shortcut-menu key
// (Shift+F10, the context-menu key) both come as a right click; from version 3 on (Windows
// 2000 and later) the first is NIN_KEYSELECT and the second WM_CONTEXTMENU, and a left click
// is followed by NIN_SELECT.
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace cvl {

inline constexpr std::uint32_t kNinSelect = 0x400;     // WM_USER
inline constexpr std::uint32_t kNinKeySelect = 0x401;  // NIN_SELECT | NINF_KEY
inline constexpr std::uint32_t kNotifyIconVersion = 3;

enum class IconKey {
  Activate,     // Enter or Space
  ContextMenu,  // Shift+F10 or the context-menu key
};

// The messages the key sends the icon's program.
std::vector<std::uint32_t> KeyMessages(std::uint32_t version, IconKey key);
// The mouse messages with what the icon's version adds after them.
std::vector<std::uint32_t> MouseMessages(std::uint32_t version,
                                         std::initializer_list<std::uint32_t> mouse);

}  // namespace cvl
