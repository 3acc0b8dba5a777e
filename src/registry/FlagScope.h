#pragma once
// Sets a flag for a scope and restores it however the scope is left: a handling flag left off
// by an error would silently end all handling of the tray.

namespace cvl {

class FlagScope {
 public:
  // Left with the opposite of value.
  FlagScope(bool& flag, bool value) : FlagScope(flag, value, !value) {}
  // Left with restore.
  FlagScope(bool& flag, bool value, bool restore) : flag_(flag), old_(restore) { flag_ = value; }
  ~FlagScope() { flag_ = old_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace cvl
