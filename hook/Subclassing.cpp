#include "Subclassing.h"

#include "ClockRoom.h"
#include "HiddenProcesses.h"
#include "IconStates.h"
#include "IconVersions.h"
#include "Pixels.h"
#include "SharedSection.h"
#include "Watchdog.h"
#include "WindowMessages.h"

#ifdef SNAREHOOK_BENCH
#include "BenchStats.h"
#endif

namespace snarehook {

HMODULE g_module;

namespace {

// The taskbar a copy of the library has subclassed, for every process to see.
struct Attachment {
  HWND taskbar;
  DWORD thread;
};
__attribute__((section(".shr"), shared)) Attachment g_attachedTo = {};

// The shell's own process: what this copy of the library subclassed.
bool g_attached;
WNDPROC g_old[3];
HWND g_subclassed[3];

LRESULT Serve(HWND w, UINT msg, WPARAM wp, LPARAM lp);
void Detach();

LRESULT CALLBACK SubclassProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
#ifdef SNAREHOOK_BENCH
  BenchEnter(w, msg, wp, lp);
  const LRESULT result = Serve(w, msg, wp, lp);
  BenchLeave();
  return result;
#else
  return Serve(w, msg, wp, lp);
#endif
}

LRESULT Serve(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  // A window that goes takes its slot with it, attached or not: a later window may get the
  // same handle.
  if (msg == WM_NCDESTROY) {
    for (int i = 0; i < 3; ++i) {
      if (g_subclassed[i] == w) {
        const WNDPROC old = g_old[i];
        // Under another module's subclass, its procedure stays where it is.
        if (GetWindowLongPtrA(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc))
          SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
        g_subclassed[i] = nullptr;
        return old != nullptr ? CallWindowProcA(old, w, msg, wp, lp)
                              : DefWindowProcA(w, msg, wp, lp);
      }
    }
  }
  if (w == g_shared.taskbar && msg == g_shared.detachMessage && msg != 0) {
    Detach();
    return 0;
  }
  if (!g_attached) return CallOld(w, msg, wp, lp);
  if (w == g_shared.toolbar) {
    LRESULT result = 0;
    if (ToolbarMessage(msg, wp, lp, result)) return result;
  }
  if (w == g_shared.notify) {
    LRESULT result = 0;
    if (NotifyMessage(msg, lp, result)) return result;
  }
  if (w == g_shared.taskbar) return TaskbarMessage(w, msg, wp, lp);
  return CallOld(w, msg, wp, lp);
}

void Subclass(int slot, HWND w) {
  if (w == nullptr || !IsWindow(w)) return;
  for (int i = 0; i < 3; ++i)
    if (i != slot && g_subclassed[i] == w) return;  // on 9x the notification area is the toolbar
  // Still in the chain from an earlier attach, under another module's subclass: reuse that
  // place. Subclassing again would save the other module's procedure as our next one, and
  // every message would go round the two for ever.
  if (g_subclassed[slot] == w) return;
  if (g_subclassed[slot] != nullptr && IsWindow(g_subclassed[slot])) {
    // A window from an earlier shell that is still alive keeps its pass-through; this slot
    // cannot serve two windows, so the new one goes unhooked rather than break the old one.
    return;
  }
  SetLastError(0);
  const LONG_PTR old =
      SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
  if (old == 0 && GetLastError() != 0) return;
  g_old[slot] = reinterpret_cast<WNDPROC>(old);
  g_subclassed[slot] = w;
}

void Attach() {
  if (g_attached) return;
  // Stay loaded for good: a subclass procedure must outlive every window that may call it.
  char path[MAX_PATH];
  if (GetModuleFileNameA(g_module, path, MAX_PATH)) LoadLibraryA(path);
#ifdef SNAREHOOK_BENCH
  char send[8] = {};
  g_shared.sendAnswers =
      GetEnvironmentVariableA("SNAREHOOK_SEND_ANSWERS", send, sizeof send) && send[0] == '1';
#endif
  g_attached = true;
  ForgetPixelsJob();  // one posted before a detach went unhandled
  ForgetProgramStates();
  ForgetIconVersions();
  Subclass(0, g_shared.taskbar);
  Subclass(1, g_shared.notify);
  Subclass(2, g_shared.toolbar);
  StartWatchdog();
  // Only a taskbar that is ours can carry the detach.
  if (g_subclassed[0] == g_shared.taskbar) g_attachedTo = {g_shared.taskbar, GetCurrentThreadId()};
}

void Detach() {
  if (!g_attached) return;
  g_attachedTo = {};
  StopWatchdog();
  // A switch-off that never reached the shell (a hung shell drops it) leaves buttons hidden
  // ahead that only the library knows of.
  ForgetHiddenProcesses();
  ShowHiddenButtons();
  SetRoom(0);
  for (int i = 0; i < 3; ++i) {
    const HWND w = g_subclassed[i];
    // Someone subclassed after us: stay in the chain, passing everything through.
    if (w != nullptr &&
        GetWindowLongPtrA(w, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc)) {
      SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_old[i]));
      g_subclassed[i] = nullptr;
    }
  }
  g_attached = false;
}

// The procedure the window had before ours.
LRESULT CallShell(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  for (int i = 0; i < 3; ++i)
    if (g_subclassed[i] == w && g_old[i] != nullptr)
      return CallWindowProcA(g_old[i], w, msg, wp, lp);
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

LRESULT CallOld(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
#ifdef SNAREHOOK_BENCH
  LARGE_INTEGER start;
  if (BenchShellBegin(w, msg, wp, lp, start)) {
    const LRESULT result = CallShell(w, msg, wp, lp);
    BenchShellEnd(start);
    return result;
  }
#endif
  return CallShell(w, msg, wp, lp);
}

bool AttachedTo(HWND taskbar, DWORD thread) {
  return taskbar != nullptr && g_attachedTo.taskbar == taskbar && g_attachedTo.thread == thread;
}

LRESULT CALLBACK CallWndProc(int code, WPARAM wp, LPARAM lp) {
#ifdef SNAREHOOK_BENCH
  CountHookCall();
#endif
  if (code == HC_ACTION && lp != 0) {
    const auto* c = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (c->hwnd == g_shared.taskbar && c->message != 0) {
      if (c->message == g_shared.attachMessage)
        Attach();
      else if (c->message == g_shared.detachMessage)
        Detach();
    }
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace snarehook
