#include "views/PictureSlots.h"

namespace cvl {

// Looked for slot by slot: with a thousand icons a million comparisons cost less than one
// picture put in.
int PictureSlots::Find(const Picture& picture) const {
  for (std::size_t slot = 0; slot < slots_.size(); ++slot)
    if (slots_[slot] == picture) return static_cast<int>(slot);
  return -1;
}

std::vector<PictureSlots::Put> PictureSlots::Assign(const std::vector<Picture>& wanted) {
  std::vector<char> used(slots_.size(), 0);
  slotOf_.assign(wanted.size(), -1);
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    slotOf_[i] = Find(wanted[i]);
    if (slotOf_[i] >= 0) used[static_cast<std::size_t>(slotOf_[i])] = 1;
  }
  std::vector<Put> puts;
  std::size_t free = 0;
  for (std::size_t i = 0; i < wanted.size(); ++i) {
    if (slotOf_[i] >= 0) continue;
    // Two icons may share a picture, the second one only now put in.
    if (const int same = Find(wanted[i]); same >= 0 && used[static_cast<std::size_t>(same)]) {
      slotOf_[i] = same;
      continue;
    }
    while (free < used.size() && used[free]) ++free;
    const bool append = free == used.size();
    if (append) {
      slots_.push_back(wanted[i]);
      used.push_back(1);
    } else {
      slots_[free] = wanted[i];
      used[free] = 1;
    }
    slotOf_[i] = static_cast<int>(free);
    puts.push_back({slotOf_[i], i, append});
  }
  return puts;
}

int PictureSlots::SlotOf(std::size_t image) const {
  return image < slotOf_.size() ? slotOf_[image] : -1;
}

void PictureSlots::Clear() {
  slots_.clear();
  slotOf_.clear();
}

void PictureSlots::Truncate(std::size_t count) {
  if (count >= slots_.size()) return;
  slots_.resize(count);
  for (int& slot : slotOf_)
    if (slot >= static_cast<int>(count)) slot = -1;
}

}  // namespace cvl
