#pragma once
// Corvalet's own copies of the shell's icons. An icon handle made in the shell's process can
// be drawn from any process on Windows, but not under Wine; so the hook sends each listed
// icon's pixels along, and the copies made from them live as long as the icon stays listed:
// when an enumeration has ended, the copies of icons it no longer lists are destroyed.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "IconBitsInfo.h"
#include "platform/Types.h"
#include "registry/TIconList.h"
#include "win32/HandleOwner.h"

namespace cvl::win32 {

class IconCopies {
 public:
  IconCopies() = default;
  IconCopies(const IconCopies&) = delete;
  IconCopies& operator=(const IconCopies&) = delete;

  // Takes the pixels out of a message; false when they do not parse. The icon is made when it
  // is first resolved so that the sender need not wait for it.
  bool Store(const void* data, std::size_t size);
  // The copy of a shell icon, or the handle itself where no copy was sent.
  HICON Resolve(Hicon shellIcon) const;
  // Which copy Resolve gave last: a number no other copy had, 0 for none. A handle value may be
  // given to a new copy once the old one is destroyed (on Windows 9x readily so).
  std::uint64_t Serial(Hicon shellIcon) const;
  // Destroys the copies of icons that are not in the list.
  void KeepListed(const TIconList& listed);
  std::size_t Count() const { return copies_.size() + pending_.size(); }

 private:
  // Makes the icons of the pixels taken; one that cannot be made now is tried again later.
  void MakePending() const;
  struct Pixels {
    DWORD width, height;
    std::vector<DWORD> colourAndMask;
  };
  mutable std::map<Hicon, IconOwner> copies_;
  mutable std::map<Hicon, Pixels> pending_;
  mutable std::map<Hicon, std::uint64_t> serials_;
  mutable std::uint64_t lastSerial_ = 0;
};

}  // namespace cvl::win32
