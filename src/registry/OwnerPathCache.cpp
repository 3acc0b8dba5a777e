#include "registry/OwnerPathCache.h"

#include "registry/OwnerExecutablePath.h"

namespace cvl {

std::string OwnerPathCache::Path(Hwnd window) {
  const std::uint32_t processId = desktop_.GetWindowThreadProcessId(window);
  if (processId == 0) return {};
  const Key key{window, processId};
  if (const auto it = current_.find(key); it != current_.end()) return it->second;
  if (const auto it = previous_.find(key); it != previous_.end()) {
    current_.insert(*it);
    return it->second;
  }
  std::string path = OwnerExecutablePath(desktop_, window);
  // A walk that failed (no snapshot at this moment) is tried again next time.
  if (!path.empty()) current_[key] = path;
  return path;
}

void OwnerPathCache::NewEnumeration() {
  previous_ = std::move(current_);
  current_.clear();
}

void OwnerPathCache::Clear() {
  current_.clear();
  previous_.clear();
}

}  // namespace cvl
