#pragma once
// The minimizer's pictures drawn with DrawCaption: the caption icon of a window, with its
// background replaced by the button face colour.
#include <windows.h>

#include "minimizer/CaptionIcons.h"

namespace cvl::win32 {

class Win32CaptionIcons final : public CaptionIcons {
 public:
  Hicon MakeCaptionIcon(Hwnd window) override;
  void DestroyIcon(Hicon icon) override;
};

}  // namespace cvl::win32
