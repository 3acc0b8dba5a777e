// testwindow.exe: an ordinary captioned window for the minimizer's tests, 400 x 300 at
// (200, 150) with the usual caption buttons. With --hotkey it holds a key first, as another
// program may (MOD_ flags and a virtual key, both in decimal).
//   testwindow.exe --title TITLE [--nominbox] [--at X Y] [--hotkey MODIFIERS KEY]
#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

LRESULT CALLBACK WindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const char* title = "Test window";
  DWORD style = WS_OVERLAPPEDWINDOW;
  int x = 200, y = 150;
  UINT hotKeyModifiers = 0, hotKey = 0;
  for (int i = 1; i < __argc; ++i) {
    if (std::strcmp(__argv[i], "--title") == 0 && i + 1 < __argc) title = __argv[++i];
    if (std::strcmp(__argv[i], "--nominbox") == 0) style &= ~WS_MINIMIZEBOX;
    if (std::strcmp(__argv[i], "--at") == 0 && i + 2 < __argc) {
      x = std::atoi(__argv[++i]);
      y = std::atoi(__argv[++i]);
    }
    if (std::strcmp(__argv[i], "--hotkey") == 0 && i + 2 < __argc) {
      hotKeyModifiers = static_cast<UINT>(std::atoi(__argv[++i]));
      hotKey = static_cast<UINT>(std::atoi(__argv[++i]));
    }
  }
  WNDCLASSA wc{};
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "TestWindow";
  RegisterClassA(&wc);
  HWND window = CreateWindowExA(0, "TestWindow", title, style, x, y, 400, 300, nullptr, nullptr,
                                instance, nullptr);
  if (window == nullptr) return 1;
  if (hotKey != 0 && !RegisterHotKey(window, 1, hotKeyModifiers, hotKey)) return 2;
  ShowWindow(window, SW_SHOW);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
