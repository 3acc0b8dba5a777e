#include "registry/HiddenProcesses.h"

#include <algorithm>

namespace cvl {

void HiddenProcesses::Note(const TIconList& icons, std::uint32_t ownProcess) {
  std::vector<Known> now;
  for (const TIconInfo& icon : icons) {
    if (icon.Place == IconPlace::Unplaced) continue;
    const std::uint32_t process = desktop_.GetWindowThreadProcessId(icon.hWnd);
    if (process == 0 || process == ownProcess) continue;
    const bool hidden = icon.Place != IconPlace::Tray;
    const auto it =
        std::find_if(now.begin(), now.end(), [&](const Known& k) { return k.process == process; });
    if (it == now.end())
      now.push_back({process, hidden});
    else
      it->hidden = it->hidden && hidden;
  }
  for (const Known& k : now) {
    const auto it = std::find_if(known_.begin(), known_.end(),
                                 [&](const Known& o) { return o.process == k.process; });
    if (it == known_.end())
      known_.push_back(k);
    else
      it->hidden = k.hidden;
  }
  // Past the library's size the oldest without an icon now gives way.
  for (auto it = known_.begin(); known_.size() > kMostKept && it != known_.end();) {
    const bool placedNow = std::any_of(now.begin(), now.end(),
                                       [&](const Known& k) { return k.process == it->process; });
    it = placedNow ? it + 1 : known_.erase(it);
  }
  Tell();
}

void HiddenProcesses::Ended(std::uint32_t process) {
  std::erase_if(known_, [&](const Known& k) { return k.process == process; });
  Tell();
}

void HiddenProcesses::Forget() {
  known_.clear();
  told_.clear();
}

void HiddenProcesses::Tell() {
  std::vector<std::uint32_t> hidden;
  for (const Known& k : known_)
    if (k.hidden && hidden.size() < kMostKept) hidden.push_back(k.process);
  if (hidden == told_) return;
  told_ = hidden;
  if (Publish) Publish(told_);
}

}  // namespace cvl
