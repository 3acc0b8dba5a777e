#include "win32/OleAccLibrary.h"

namespace cvl::win32 {

namespace {

template <typename F>
void Find(HMODULE module, const char* name, F*& function) {
  function = module != nullptr
                 ? reinterpret_cast<F*>(reinterpret_cast<void*>(::GetProcAddress(module, name)))
                 : nullptr;
}

}  // namespace

OleAccLibrary& OleAccLibrary::Get() {
  static OleAccLibrary library;
  return library;
}

OleAccLibrary::OleAccLibrary() {
  // Kept loaded until the process ends: a screen reader may hold our objects until then.
  const HMODULE oleacc = ::LoadLibraryA("oleacc.dll");
  const HMODULE oleaut = ::LoadLibraryA("oleaut32.dll");
  Find(oleacc, "LresultFromObject", LresultFromObject);
  Find(oleacc, "CreateStdAccessibleObject", CreateStdAccessibleObject);
  Find(oleaut, "SysAllocString", SysAllocString);
  // Windows 98 and 2000 on; 95 and NT 4 without Active Accessibility have none.
  Find(::GetModuleHandleA("user32.dll"), "NotifyWinEvent", NotifyWinEvent);
}

}  // namespace cvl::win32
