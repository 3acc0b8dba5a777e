#pragma once
// The slots of an image list that shows the tray's icons. A picture goes in once, when an icon
// first needs it, into a slot that no icon needs any more or at the end; a picture that stays
// keeps its slot. Putting a picture into an image list costs calls to the window server under
// Wine, so a list refreshed on every tray change with hundreds of icons must not rebuild it all,
// nor move every picture when an icon ahead of them is removed.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Types.h"

namespace cvl {

// A picture: the shell's icon and the copy that draws it (which may come after the icon), the
// copy told by a number of its own, never by its handle, which a later copy may get again.
struct Picture {
  Hicon shellIcon = 0;
  std::uint64_t copy = 0;
  bool operator==(const Picture&) const = default;
};

class PictureSlots {
 public:
  // A picture to put into the image list: into a slot that holds another one, or appended.
  struct Put {
    int slot;
    std::size_t image;  // the index in what Assign was given
    bool append;        // slot == the count of slots before it
  };
  // Gives every wanted picture a slot, keeping the slots of those already in; returns what must
  // be put in, in order (appends in the order of their slots).
  std::vector<Put> Assign(const std::vector<Picture>& wanted);
  // The slot of the image-th wanted picture of the last Assign, -1 when it got none.
  int SlotOf(std::size_t image) const;
  std::size_t Count() const { return slots_.size(); }
  // The image list was emptied (or its count no longer matches): everything goes in again.
  void Clear();
  // An append failed: that slot and the ones after it were never made.
  void Truncate(std::size_t count);

 private:
  int Find(const Picture& picture) const;
  std::vector<Picture> slots_;
  std::vector<int> slotOf_;
};

}  // namespace cvl
