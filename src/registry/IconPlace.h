#pragma once
// Where an icon lives. The settings number the same places differently (option place codes:
// 1 tray, 2 panel, 3 menu); the two conversions below are the only bridge between them.
#include <cstdint>
#include <optional>

namespace cvl {

enum class IconPlace : std::uint8_t { Unplaced = 0, Tray = 1, Menu = 2, Panel = 3 };

inline constexpr int kOptionTray = 1;
inline constexpr int kOptionPanel = 2;
inline constexpr int kOptionMenu = 3;

// No place for any code other than 1, 2 or 3.
constexpr std::optional<IconPlace> PlaceFromOption(int optionCode) {
  switch (optionCode) {
    case kOptionTray:
      return IconPlace::Tray;
    case kOptionPanel:
      return IconPlace::Panel;
    case kOptionMenu:
      return IconPlace::Menu;
    default:
      return std::nullopt;
  }
}

// 0 for Unplaced, which has no option code.
constexpr int OptionFromPlace(IconPlace place) {
  switch (place) {
    case IconPlace::Tray:
      return kOptionTray;
    case IconPlace::Panel:
      return kOptionPanel;
    case IconPlace::Menu:
      return kOptionMenu;
    default:
      return 0;
  }
}

}  // namespace cvl
