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
  // Taken first on the window thread, which answers every query; ole32 is loaded, not imported,
  // as the others are.
  const HMODULE ole32 = ::LoadLibraryA("ole32.dll");
  Find(ole32, "CoInitialize", CoInitialize_);
  Find(ole32, "CoUninitialize", CoUninitialize_);
  comStarted_ =
      CoInitialize_ != nullptr && CoUninitialize_ != nullptr && SUCCEEDED(CoInitialize_(nullptr));
  // Windows 98 and 2000 on; 95 and NT 4 without Active Accessibility have none.
  Find(::GetModuleHandleA("user32.dll"), "NotifyWinEvent", NotifyWinEvent);
}

OleAccLibrary::~OleAccLibrary() {
  // At the process's exit, on the thread that started it.
  if (comStarted_) CoUninitialize_();
}

}  // namespace cvl::win32
