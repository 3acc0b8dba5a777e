#include "registry/TIconList.h"

namespace cvl {

std::string TIconList::Key(const TIconInfo& r) {
  // Lengths first, so that no path or class name can run into the next field.
  std::string key = std::to_string(r.ExePath.size()) + ':' + r.ExePath;
  key += std::to_string(r.ClassName.size()) + ':' + r.ClassName;
  key += std::to_string(r.uID);
  return key;
}

bool TIconList::Contains(const TIconInfo& record) const {
  return index_.find(Key(record)) != index_.end();
}

int TIconList::Add(const TIconInfo& record) {
  if (!index_.insert(Key(record)).second) return -1;
  items_.push_back(record);
  return Count();
}

void TIconList::SetShown(int i, Hicon picture, const std::string& tip) {
  TIconInfo& item = items_.at(static_cast<std::size_t>(i));
  item.hIcon = picture;
  item.TipText = tip;
}

int TIconList::IndexOf(Hwnd window, std::uint32_t id) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].hWnd == window && items_[i].uID == id) return static_cast<int>(i);
  return -1;
}

int TIconList::Clear() {
  const int before = Count();
  items_.clear();
  index_.clear();
  return before;
}

int TIconList::Delete(int p) {
  if (p < 1 || p > Count()) return p;
  const auto pos = items_.begin() + (p - 1);
  index_.erase(Key(*pos));
  items_.erase(pos);
  return p;
}

}  // namespace cvl
