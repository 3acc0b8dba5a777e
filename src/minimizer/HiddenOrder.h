#pragma once
// The order in which the minimizer hid its windows, by mouse or by key, newest last: the key
// with Shift brings them back newest first. A window brought back any other way leaves it.
#include <algorithm>
#include <optional>
#include <vector>

#include "platform/Types.h"

namespace cvl {

class HiddenOrder {
 public:
  // A window hidden again (its program showed it meanwhile) becomes the newest.
  void Push(Hwnd window) {
    Remove(window);
    windows_.push_back(window);
  }
  void Remove(Hwnd window) { std::erase(windows_, window); }
  std::optional<Hwnd> Newest() const {
    if (windows_.empty()) return std::nullopt;
    return windows_.back();
  }
  std::size_t Count() const { return windows_.size(); }

 private:
  std::vector<Hwnd> windows_;
};

}  // namespace cvl
