#pragma once
// Which window the minimizer's key sends away: the foreground window's top-level window, when
// it is visible and has a caption, and is neither the desktop, the taskbar, one of Corvalet's
// own windows nor a window Corvalet hid already. No minimize box is needed: the user asked.
#include <cstdint>

#include "platform/Desktop.h"
#include "registry/TIconList.h"

namespace cvl {

struct HotKeyExclusions {
  Hwnd taskbar = 0;
  std::uint32_t ownProcess = 0;
  const TIconList* hidden = nullptr;  // the minimized list
};

// 0 when the foreground window does not qualify.
Hwnd HotKeyTarget(Desktop& desktop, Hwnd foreground, const HotKeyExclusions& exclusions);

}  // namespace cvl
