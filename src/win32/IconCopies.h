#pragma once
// Corvalet's own copies of the shell's icons. An icon handle made in the shell's process can
// be drawn from any process on Windows, but not under Wine; so the hook sends each listed
// icon's pixels along, and the copies made from them live as long as the icon stays listed:
// an enumeration that no longer reports an icon destroys its copy when it ends.
#include <windows.h>

#include <cstddef>
#include <map>

#include "IconBits.h"
#include "platform/Types.h"

namespace cvl::win32 {

class IconCopies {
 public:
  IconCopies() = default;
  IconCopies(const IconCopies&) = delete;
  IconCopies& operator=(const IconCopies&) = delete;
  ~IconCopies();

  bool Store(const void* data, std::size_t size);
  // The copy of a shell icon, or the handle itself where no copy was sent.
  HICON Resolve(Hicon shellIcon) const;
  void BeginEnumeration();
  void EndEnumeration();
  std::size_t Count() const { return copies_.size(); }

 private:
  struct Copy {
    HICON icon;
    bool seen;
  };
  std::map<Hicon, Copy> copies_;
};

}  // namespace cvl::win32
