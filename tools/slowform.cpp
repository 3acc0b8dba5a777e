// slowform.exe: a main form that takes its time, for the hook's tests. It stands in for
// Corvalet (class TMainForm, caption "Quillon Corvalet"), switches the hook on, asks for one
// enumeration and spends longer on each tip message than the hook waits for a sent message,
// then reads the tip's atom. Every atom it is given must still be there for it to read and
// delete, however late it gets to it.
//   slowform.exe LOG_FILE      writes "tip read=N missed=M" and exits
// With --batch it takes the answer in one piece, as Corvalet does, but is busy for longer than
// the hook waits right after it took the begin: the hook's send of the rest gives up, and
// the tips are the hook's to delete unless this form claims the answer when it comes late.
//   slowform.exe LOG_FILE --batch   writes "batch claimed=N refused=M tip read=R" and exits
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "Snarehook.h"
#include "shell/AnswerBatch.h"
#include "shell/HookProtocol.h"

namespace {

constexpr DWORD kLongerThanTheHookWaits = 2600;
int g_read = 0;
int g_missed = 0;
bool g_ended = false;
bool g_batch = false;
int g_claimed = 0;
int g_refused = 0;

void ReadTip(LPARAM lp) {
  char tip[256] = {};
  const ATOM atom = static_cast<ATOM>(lp & 0xFFFF);
  if (atom != 0 && GlobalGetAtomNameA(atom, tip, sizeof tip) > 0) {
    ++g_read;
    GlobalDeleteAtom(atom);
  } else if (atom != 0) {
    ++g_missed;
  }
}

LRESULT TakeBatch(const COPYDATASTRUCT* cds) {
  if (cds == nullptr || cds->dwData != cvl::kAnswerBatchTag) return FALSE;
  const std::vector<char> data(static_cast<const char*>(cds->lpData),
                               static_cast<const char*>(cds->lpData) + cds->cbData);
  const auto batch = cvl::ParseAnswerBatch(data.data(), data.size());
  if (!batch) return FALSE;
  if (!ClaimAnswer((*batch)[batch->Count() - 1].wParam)) {
    ++g_refused;
    return FALSE;
  }
  ++g_claimed;
  for (std::size_t i = 0; i < batch->Count(); ++i)
    if ((*batch)[i].msg == cvl::THM_ENUMTIP) ReadTip((*batch)[i].lParam);
  g_ended = true;
  return TRUE;
}

LRESULT CALLBACK FormProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (g_batch && msg == cvl::THM_ENUMBEGIN) {
    ReplyMessage(cvl::kTakesAnswerBatch);
    Sleep(kLongerThanTheHookWaits);
    return 0;
  }
  if (g_batch && msg == WM_COPYDATA) return TakeBatch(reinterpret_cast<const COPYDATASTRUCT*>(lp));
  if (msg == cvl::THM_ENUMTIP) {
    Sleep(kLongerThanTheHookWaits);
    ReadTip(lp);
    return 0;
  }
  if (msg == cvl::THM_ENUMEND) g_ended = true;
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && (argc != 3 || std::strcmp(argv[2], "--batch") != 0)) return 2;
  g_batch = argc == 3;
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
  // A batch given up on may still come (or never): a few seconds after the busy spell tell.
  const DWORD start = GetTickCount();
  const DWORD bound = g_batch ? 4000 : 50000;
  MSG m;
  while (!g_ended && GetTickCount() - start < bound) {
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    if (!g_ended) MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
  }
  SendMessageTimeoutA(taskbar, cvl::THM_HOOKSWITCH, 0, cvl::THM_OFF, SMTO_NORMAL, 5000, &result);
  DeleteTrayHook();
  if (FILE* f = std::fopen(argv[1], "w")) {
    if (g_batch)
      std::fprintf(f, "batch claimed=%d refused=%d tip read=%d\n", g_claimed, g_refused, g_read);
    else
      std::fprintf(f, "tip read=%d missed=%d\n", g_read, g_missed);
    std::fclose(f);
  }
  DestroyWindow(form);
  return 0;
}
