// slowform.exe: a main form that takes its time, for the hook's tests. It stands in for
// Corvalet (class TMainForm, caption "Quillon Corvalet"), switches the hook on, asks for one
// enumeration and spends longer on each tip message than the hook waits for a sent message,
// then reads the tip's atom. Every atom it is given must still be there for it to read and
// delete, however late it gets to it.
//   slowform.exe LOG_FILE      writes "tip read=N missed=M" and exits
#include <windows.h>

#include <cstdio>

#include "Snarehook.h"
#include "shell/HookProtocol.h"

namespace {

constexpr DWORD kLongerThanTheHookWaits = 2600;
int g_read = 0;
int g_missed = 0;
bool g_ended = false;

LRESULT CALLBACK FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == cvl::THM_ENUMTIP) {
    Sleep(kLongerThanTheHookWaits);
    char tip[256] = {};
    const ATOM atom = static_cast<ATOM>(lp & 0xFFFF);
    if (atom != 0 && GlobalGetAtomNameA(atom, tip, sizeof tip) > 0) {
      ++g_read;
      GlobalDeleteAtom(atom);
    } else if (atom != 0) {
      ++g_missed;
    }
    return 0;
  }
  if (msg == cvl::THM_ENUMEND) g_ended = true;
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  WNDCLASSA wc{};
  wc.lpfnWndProc = &FormProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = cvl::kMainFormClass;
  if (!RegisterClassA(&wc)) return 1;
  HWND form = CreateWindowExA(WS_EX_TOOLWINDOW, cvl::kMainFormClass, cvl::kMainFormCaption,
                              WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
  HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  HWND notify = taskbar ? FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
  HWND pager = notify ? FindWindowExA(notify, nullptr, "SysPager", nullptr) : nullptr;
  HWND toolbar = FindWindowExA(pager ? pager : notify, nullptr, "ToolbarWindow32", nullptr);
  if (form == nullptr || toolbar == nullptr) return 1;
  SetTrayHook();
  DWORD_PTR result = 0;
  SendMessageTimeoutA(taskbar, cvl::THM_HOOKSWITCH, 0, cvl::THM_ON, SMTO_NORMAL, 5000, &result);
  // The answer's begin comes while the request is handled, the rest is posted (this form does
  // not take it in one piece) and may still be on its way when the request returns; the tips
  // keep us busy beyond any bound of the hook's.
  SendMessageTimeoutA(toolbar, cvl::THM_ENUMREQUEST, cvl::THM_ENUM_VALUE, cvl::THM_ENUM_VALUE,
                      SMTO_NORMAL, 60000, &result);
  const DWORD start = GetTickCount();
  MSG m;
  while (!g_ended && GetTickCount() - start < 50000) {
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    if (!g_ended) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
  }
  SendMessageTimeoutA(taskbar, cvl::THM_HOOKSWITCH, 0, cvl::THM_OFF, SMTO_NORMAL, 5000, &result);
  DeleteTrayHook();
  if (FILE* f = std::fopen(argv[1], "w")) {
    std::fprintf(f, "tip read=%d missed=%d\n", g_read, g_missed);
    std::fclose(f);
  }
  DestroyWindow(form);
  return 0;
}
