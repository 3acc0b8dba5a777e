#pragma once
// The two exports of Snarehook.dll. Their results are not used.

namespace cvl {

class HookLibrary {
 public:
  virtual ~HookLibrary() = default;
  virtual void SetTrayHook() = 0;
  virtual void DeleteTrayHook() = 0;
};

}  // namespace cvl
