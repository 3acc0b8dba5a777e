#pragma once
// One placement memory: the programs whose icons belong to one place, in file order, each
// known by executable path and owner class name. An index beside the order answers "is this
// program here" in constant time, so applying and updating stay linear.
#include <string>
#include <unordered_map>
#include <vector>

#include "registry/TIconInfo.h"

namespace cvl {

struct MemoryEntry {
  std::string ExePath;
  std::string ClassName;
  bool operator==(const MemoryEntry&) const = default;
};

class PlacementMemoryList {
 public:
  bool Contains(const TIconInfo& record) const;
  // Appends the record's pair unless an equal entry is there already.
  void Hold(const TIconInfo& record);
  // Removes the first entry equal to the record's pair, if any.
  void RemoveFirst(const TIconInfo& record);
  void Assign(std::vector<MemoryEntry> entries);
  void Clear() { Assign({}); }
  const std::vector<MemoryEntry>& Entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  static std::string Key(const std::string& path, const std::string& className);
  std::vector<MemoryEntry> entries_;
  std::unordered_map<std::string, int> counts_;  // a hand-edited file may repeat a pair
};

}  // namespace cvl
