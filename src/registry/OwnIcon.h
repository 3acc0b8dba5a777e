#pragma once
// What the registry asks of Corvalet's own tray icon: whose reports are about it, and a
// switch off and on again that puts it back at the end of the tray.
#include <cstdint>

#include "platform/Types.h"

namespace cvl {

inline constexpr std::uint32_t kOwnIconId = 1;

class OwnIcon {
 public:
  virtual ~OwnIcon() = default;
  virtual Hwnd Owner() const = 0;
  virtual bool Active() const = 0;
  virtual void SetActive(bool active) = 0;
};

}  // namespace cvl
