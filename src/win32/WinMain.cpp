#include <windows.h>

#include <commctrl.h>

#include "app/ProcessEntry.h"
#include "win32/MainWindow.h"
#include "win32/Win32Desktop.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  {
    cvl::win32::Win32Desktop desktop;
    if (cvl::AnotherInstanceRunning(desktop)) {
      ::MessageBoxA(nullptr, cvl::kSecondInstanceWarning, "Corvalet", MB_OK | MB_ICONWARNING);
      return 0;
    }
  }
  ::InitCommonControls();
  cvl::win32::MainWindow main(instance);
  if (!main.Create()) return 1;
  MSG m;
  while (::GetMessageA(&m, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
  }
  return static_cast<int>(m.wParam);
}
