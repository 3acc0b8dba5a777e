#pragma once
// Active Accessibility, loaded at run time: oleacc.dll and oleaut32.dll are missing from Windows
// 95 and 98 without it, and Corvalet must still start there. Where they are missing, the panel
// answers no accessibility query and tells no focus event.
#include <windows.h>
// windows.h first
#include <oleacc.h>

namespace cvl::win32 {

class OleAccLibrary {
 public:
  // The functions of the libraries, looked up at the first call; null where missing.
  static OleAccLibrary& Get();
  LRESULT(WINAPI* LresultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
  HRESULT(WINAPI* CreateStdAccessibleObject)(HWND, LONG, REFIID, void**) = nullptr;
  BSTR(WINAPI* SysAllocString)(const OLECHAR*) = nullptr;
  void(WINAPI* NotifyWinEvent)(DWORD, HWND, LONG, LONG) = nullptr;
  ~OleAccLibrary();
  bool Available() const {
    return LresultFromObject != nullptr && CreateStdAccessibleObject != nullptr &&
           SysAllocString != nullptr;
  }

 private:
  OleAccLibrary();
  // LresultFromObject marshals through COM, which must be started on the thread that answers.
  HRESULT(WINAPI* CoInitialize_)(LPVOID) = nullptr;
  void(WINAPI* CoUninitialize_)() = nullptr;
  bool comStarted_ = false;
};

}  // namespace cvl::win32
