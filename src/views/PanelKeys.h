#pragma once
// The keys the Corvalet Panel takes while it has the keyboard focus, as the tray takes them
// for its icons.
#include <cstdint>
#include <optional>

namespace cvl {

enum class PanelKey {
  Left,
  Right,
  Home,
  End,
  Activate,     // Enter or Space
  ContextMenu,  // Shift+F10 or the context-menu key
  Escape,
};

// The key of a WM_KEYDOWN or WM_SYSKEYDOWN (its virtual-key code, Shift held or not); none for
// keys the panel leaves alone.
std::optional<PanelKey> PanelKeyOf(std::uint32_t virtualKey, bool shift);

}  // namespace cvl
