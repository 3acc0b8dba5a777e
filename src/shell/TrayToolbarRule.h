#pragma once
// Which window takes the tray's toolbar messages, for a version code. Corvalet and the hook
// inside the shell both decide by this one rule: the hook must serve the very window Corvalet
// sends its requests to. Plain enough for the hook (no allocation, nothing thrown).
#include <cstdint>

namespace cvl {

constexpr int WindowsVersionCode(std::uint32_t platformId, std::uint32_t major,
                                 std::uint32_t minor) {
  if (platformId == 1) {
    switch (major) {
      case 2:
        return 10;
      case 3:
        return 20;
      case 4:
        return 30;
      case 5:
        return 40;
      default:
        return 0;
    }
  }
  if (platformId == 2) {
    switch (major) {
      case 2:
        return 50;
      case 3:
        return 60;
      case 4:
        return 70;
      case 5:
        if (minor == 0) return 80;
        if (minor == 1) return 90;
        return 0;
      default:
        return 0;
    }
  }
  return 0;
}

// child(parent, className) is the first child of parent of that class, or a null handle.
template <class Handle, class FindChild>
Handle TrayToolbarOf(Handle notifyArea, int versionCode, FindChild child) {
  if (!notifyArea) return Handle{};
  const auto underPager = [&]() -> Handle {
    const Handle pager = child(notifyArea, "SysPager");
    return pager ? child(pager, "ToolbarWindow32") : Handle{};
  };
  switch (versionCode) {
    case 80:
      return child(notifyArea, "ToolbarWindow32");
    case 90:
      return underPager();
    default: {
      // Newer systems (0) build their tray like XP or 2000, and a 9x or NT 4 taskbar may hold
      // a toolbar too: where there is one, its buttons are the icons and the notification area
      // understands no toolbar message. Only a tray without any takes them itself.
      if (const Handle toolbar = underPager()) return toolbar;
      if (const Handle toolbar = child(notifyArea, "ToolbarWindow32")) return toolbar;
      return notifyArea;
    }
  }
}

}  // namespace cvl
