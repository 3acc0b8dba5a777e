#pragma once
// The minimizer's pictures on the simulated desktop: numbered handles, counted while alive.
#include <set>

#include "minimizer/CaptionIcons.h"

namespace cvl::sim {

class SimCaptionIcons : public CaptionIcons {
 public:
  Hicon MakeCaptionIcon(Hwnd) override {
    const Hicon icon = next_++;
    Live.insert(icon);
    return icon;
  }
  void DestroyIcon(Hicon icon) override {
    if (Live.erase(icon) == 0) ++BadDestroys;
  }
  std::set<Hicon> Live;
  int BadDestroys = 0;  // a handle destroyed twice, or never made

 private:
  Hicon next_ = 0x9000;
};

}  // namespace cvl::sim
