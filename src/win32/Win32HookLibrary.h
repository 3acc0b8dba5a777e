#pragma once
#include "Snarehook.h"
#include "platform/HookLibrary.h"

namespace cvl::win32 {

// Snarehook.dll, imported at load time: without it the program does not start.
class Win32HookLibrary final : public HookLibrary {
 public:
  void SetTrayHook() override { ::SetTrayHook(); }
  void DeleteTrayHook() override { ::DeleteTrayHook(); }
};

}  // namespace cvl::win32
