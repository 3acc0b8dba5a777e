#include "registry/PlacementMemoryList.h"

#include <algorithm>

namespace cvl {

std::string PlacementMemoryList::Key(const std::string& path, const std::string& className) {
  return std::to_string(path.size()) + ':' + path + className;
}

bool PlacementMemoryList::Contains(const TIconInfo& r) const {
  return counts_.find(Key(r.ExePath, r.ClassName)) != counts_.end();
}

void PlacementMemoryList::Hold(const TIconInfo& r) {
  if (Contains(r)) return;
  entries_.push_back({r.ExePath, r.ClassName});
  counts_[Key(r.ExePath, r.ClassName)] = 1;
}

void PlacementMemoryList::RemoveFirst(const TIconInfo& r) {
  const auto it = counts_.find(Key(r.ExePath, r.ClassName));
  if (it == counts_.end()) return;
  const MemoryEntry wanted{r.ExePath, r.ClassName};
  entries_.erase(std::find(entries_.begin(), entries_.end(), wanted));
  if (--it->second == 0) counts_.erase(it);
}

void PlacementMemoryList::Assign(std::vector<MemoryEntry> entries) {
  entries_ = std::move(entries);
  counts_.clear();
  for (const auto& e : entries_) ++counts_[Key(e.ExePath, e.ClassName)];
}

}  // namespace cvl
