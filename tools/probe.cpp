// Reads the state of windows for the Wine tests, without passing pointers between processes.
//   probe count CLASS TITLE   prints how many top-level windows have that class and title
//   probe dismiss TITLE       finds a message box with that caption, prints its text, presses OK
//   probe close CLASS TITLE   posts WM_CLOSE to that top-level window
//   probe send CLASS TEXT     sends TEXT as a command to the window of class CLASS
//   probe dump                asks the stand-in taskbar to write its state file
//   probe atom TEXT           prints 1 when a global atom named TEXT exists, else 0
//   probe list                prints class and title of every visible top-level window
// Exit code 0 on success, 1 when nothing was found, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct Match {
  const char* className;
  const char* title;
  int count;
};

BOOL CALLBACK CountWindow(HWND window, LPARAM param) {
  auto* m = reinterpret_cast<Match*>(param);
  char cls[256] = {}, title[256] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  ::GetWindowTextA(window, title, sizeof title);
  if (std::strcmp(cls, m->className) == 0 && std::strcmp(title, m->title) == 0) ++m->count;
  return TRUE;
}

BOOL CALLBACK ListWindow(HWND window, LPARAM) {
  if (!::IsWindowVisible(window)) return TRUE;
  char cls[256] = {}, title[256] = {};
  ::GetClassNameA(window, cls, sizeof cls);
  ::GetWindowTextA(window, title, sizeof title);
  std::printf("%s|%s\n", cls, title);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "count") == 0) {
    Match m{argv[2], argv[3], 0};
    ::EnumWindows(&CountWindow, reinterpret_cast<LPARAM>(&m));
    std::printf("%d\n", m.count);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "dismiss") == 0) {
    HWND box = ::FindWindowA("#32770", argv[2]);
    if (box == nullptr) return 1;
    char text[1024] = {};
    ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    for (char* p = text; *p; ++p) std::putchar(*p == '\r' ? '|' : (*p == '\n' ? '|' : *p));
    std::putchar('\n');
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "close") == 0) {
    HWND window = ::FindWindowA(argv[2], argv[3]);
    if (window == nullptr) return 1;
    ::PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
  }
  if (argc == 4 && std::strcmp(argv[1], "send") == 0) {
    HWND window = ::FindWindowA(argv[2], nullptr);
    if (window == nullptr) return 1;
    COPYDATASTRUCT cds{0x7A7A, static_cast<DWORD>(std::strlen(argv[3])), argv[3]};
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds),
                                 SMTO_ABORTIFHUNG, 5000, &result) &&
                   result
               ? 0
               : 1;
  }
  if (argc == 2 && std::strcmp(argv[1], "dump") == 0) {
    // The topmost Shell_TrayWnd is the stand-in's, ahead of Wine's own hidden one.
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    DWORD_PTR result = 0;
    return taskbar &&
                   ::SendMessageTimeoutA(taskbar, WM_APP + 0x77, 0, 0, SMTO_ABORTIFHUNG, 5000,
                                         &result) &&
                   result
               ? 0
               : 1;
  }
  if (argc == 3 && std::strcmp(argv[1], "atom") == 0) {
    std::printf("%d\n", ::GlobalFindAtomA(argv[2]) != 0 ? 1 : 0);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "list") == 0) {
    ::EnumWindows(&ListWindow, 0);
    return 0;
  }
  std::fprintf(stderr,
               "usage: probe count CLASS TITLE | dismiss TITLE | close CLASS TITLE | send CLASS "
               "TEXT | dump | atom TEXT | list\n");
  return 2;
}
