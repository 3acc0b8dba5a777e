#pragma once
// OwnerExecutablePath once per owner process and enumeration: the module walk is the costly
// step of reading the tray. Only walks that found a path are kept, each under its window and
// the process that owned the window then, and only for this enumeration and the one before:
// a window handle or process ID that comes back for another program misses the cache.
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "platform/Desktop.h"

namespace cvl {

class OwnerPathCache {
 public:
  explicit OwnerPathCache(Desktop& desktop) : desktop_(desktop) {}

  // The path of the window's owner, empty when it cannot be found now.
  std::string Path(Hwnd window);
  // A new enumeration begins: what the last one learnt is kept for one more.
  void NewEnumeration();
  void Clear();

 private:
  using Key = std::pair<Hwnd, std::uint32_t>;  // window and its process
  Desktop& desktop_;
  std::map<Key, std::string> current_;
  std::map<Key, std::string> previous_;
};

}  // namespace cvl
