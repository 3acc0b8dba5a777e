#include <windows.h>

#include <commctrl.h>

#include "app/ProcessEntry.h"
#include "win32/HandleOwner.h"
#include "win32/MainLoop.h"
#include "win32/MainWindow.h"
#include "win32/Win32Desktop.h"

#include <cstdlib>

// The runtime's default handler for an exception nobody caught writes the exception's demangled
// type to a console this program has none of; its demangler alone is a ninth of the program.
// Defined here, the linker takes this one instead.
namespace __gnu_cxx {
void __verbose_terminate_handler() {
  std::abort();
}
}  // namespace __gnu_cxx

namespace {

// Held for the life of the process. The window search alone misses a second Corvalet started
// at the same moment, before the first has made its window.
constexpr const char* kInstanceMutex = "Quillon Corvalet instance";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const cvl::win32::KernelHandleOwner instanceMutex(::CreateMutexA(nullptr, FALSE, kInstanceMutex));
  const bool mutexTaken = instanceMutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
  {
    cvl::win32::Win32Desktop desktop;
    if (mutexTaken || cvl::AnotherInstanceRunning(desktop)) {
      ::MessageBoxA(nullptr, cvl::kSecondInstanceWarning, "Corvalet", MB_OK | MB_ICONWARNING);
      return 0;
    }
  }
  ::InitCommonControls();
  cvl::win32::MainWindow main(instance);
  if (!main.Create()) return 1;
  MSG m;
  while (::GetMessageA(&m, nullptr, 0, 0) > 0) {
    if (main.PreTranslate(m)) continue;
    ::TranslateMessage(&m);
    cvl::win32::g_mainLoopMessage = &m;
    ::DispatchMessageA(&m);
    cvl::win32::g_mainLoopMessage = nullptr;
  }
  return static_cast<int>(m.wParam);
}
