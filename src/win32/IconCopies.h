#pragma once
// Corvalet's own copies of the shell's icons. An icon handle made in the shell's process can
// be drawn from any process on Windows, but not under Wine; so the hook sends each listed
// icon's pixels along, and the copies made from them live as long as the icon stays listed:
// when an enumeration has ended, the copies of icons it no longer lists are destroyed.
#include <windows.h>

#include <cstddef>
#include <map>

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

  bool Store(const void* data, std::size_t size);
  // The copy of a shell icon, or the handle itself where no copy was sent.
  HICON Resolve(Hicon shellIcon) const;
  // Destroys the copies of icons that are not in the list.
  void KeepListed(const TIconList& listed);
  std::size_t Count() const { return copies_.size(); }

 private:
  std::map<Hicon, IconOwner> copies_;
};

}  // namespace cvl::win32
