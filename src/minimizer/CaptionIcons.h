#pragma once
// The minimizer's pictures: a window's caption icon drawn into a small icon that Corvalet owns.
#include "platform/Types.h"

namespace cvl {

class CaptionIcons {
 public:
  virtual ~CaptionIcons() = default;
  // The caption icon on the button face colour, (SM_CXSIZE - 2) x (SM_CYSIZE - 2); 0 when it
  // could not be made.
  virtual Hicon MakeCaptionIcon(Hwnd window) = 0;
  virtual void DestroyIcon(Hicon icon) = 0;
};

}  // namespace cvl
