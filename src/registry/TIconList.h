#pragma once
// A growable, insertion-ordered array of icon records that refuses a second record with the
// same executable path, class name and uID. An index beside the array keeps Contains and Add
// constant-time, so filling a list stays linear in its size.
#include <cstddef>
#include <string>
#include <unordered_set>
#include <vector>

#include "registry/TIconInfo.h"

namespace cvl {

class TIconList {
 public:
  // -1 when Contains finds the record; otherwise the new count.
  int Add(const TIconInfo& record);
  bool Contains(const TIconInfo& record) const;
  int Count() const { return static_cast<int>(items_.size()); }
  // The count before.
  int Clear();
  // Removes the entry at one-based position p; returns p. Positions outside 1..Count change
  // nothing.
  int Delete(int p);

  // Zero-based access. Only the place, picture and tip change in place: the identity fields
  // are indexed.
  const TIconInfo& operator[](int i) const { return items_.at(static_cast<std::size_t>(i)); }
  void SetPlace(int i, IconPlace place) { items_.at(static_cast<std::size_t>(i)).Place = place; }
  void SetShown(int i, Hicon picture, const std::string& tip);
  // The zero-based position of the window's icon, -1 when the list does not hold it.
  int IndexOf(Hwnd window, std::uint32_t id) const;

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  static std::string Key(const TIconInfo& record);
  std::vector<TIconInfo> items_;
  std::unordered_set<std::string> index_;  // identity with uID of every entry
};

}  // namespace cvl
