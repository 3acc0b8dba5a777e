// Snarehook.dll: lives inside the shell's taskbar process and speaks the THM_ protocol there.
//
// SetTrayHook, called in Corvalet's process, puts a WH_CALLWNDPROC hook on the taskbar's
// thread and sends the taskbar a message that the hook procedure, now running inside the
// shell, answers by subclassing the taskbar, the notification area and the tray toolbar
// (Subclassing); then it takes the hook off again. The subclass procedures serve enumerations and
// queries and report icon changes seen in the shell's WM_COPYDATA after the shell has handled it
// (Answers), send the icons' pixels (Pixels), make room for the button near the clock (ClockRoom),
// and watch Corvalet's window: when it vanishes, every button Corvalet hid is shown again
// (Watchdog). The mouse hooks run in Corvalet's process and in every process with mouse input
// (MouseHook). What all processes share is in SharedSection.
//
// It runs in the shell's process, so: no exceptions, no waits without a bound, every pointer
// from the shell checked before it is read, every hook procedure calls the next hook.
#include "Snarehook.h"
#include "MouseHook.h"
#include "SharedSection.h"
#include "Subclassing.h"
#include "shell/TrayToolbarRule.h"

namespace snarehook {

namespace {

// The window Corvalet sends its toolbar requests to, found by Corvalet's own rule; the
// library runs in Corvalet's process here, so it sees the version Corvalet sees.
HWND FindToolbar(HWND notify) {
  OSVERSIONINFOA v{};
  v.dwOSVersionInfoSize = sizeof v;
  const int code = GetVersionExA(&v)
                       ? cvl::WindowsVersionCode(v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion)
                       : 0;
  return cvl::TrayToolbarOf(notify, code, [](HWND parent, const char* className) {
    return FindWindowExA(parent, nullptr, className, nullptr);
  });
}

void SendToTaskbar(UINT msg) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(g_shared.taskbar, msg, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, kSendTimeoutMs,
                      &ignored);
}

}  // namespace

}  // namespace snarehook

BOOL SetTrayHook(void) {
  using namespace snarehook;
  InstallMouseHooks();
  const HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  if (taskbar == nullptr) return FALSE;
  const DWORD thread = GetWindowThreadProcessId(taskbar, nullptr);
  // In already, for this Corvalet or one before it that died.
  if (g_shared.taskbar == taskbar && AttachedTo(taskbar, thread)) {
    g_shared.installer = GetCurrentProcessId();
    return TRUE;
  }
  // A hook left by a Corvalet that died went with its thread; a live one is replaced.
  if (g_shared.hook != nullptr) UnhookWindowsHookEx(g_shared.hook);
  g_shared.hook = nullptr;
  g_shared.taskbar = taskbar;
  g_shared.notify = FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr);
  g_shared.toolbar = FindToolbar(g_shared.notify);
  g_shared.attachMessage = RegisterWindowMessageA("Snarehook.Attach");
  g_shared.detachMessage = RegisterWindowMessageA("Snarehook.Detach");
  g_shared.pixelsMessage = RegisterWindowMessageA("Snarehook.Pixels");
#ifdef SNAREHOOK_BENCH
  g_shared.statsMessage = RegisterWindowMessageA("Snarehook.Stats");
#endif
  g_shared.hook = SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProc, g_module, thread);
  g_shared.installer = GetCurrentProcessId();
  if (g_shared.hook == nullptr) return FALSE;
  SendToTaskbar(g_shared.attachMessage);
  // In, and the subclass carries the detach: the hook goes. A shell that did not take the
  // attach in time keeps it, and is attached when it does.
  if (AttachedTo(taskbar, thread)) {
    UnhookWindowsHookEx(g_shared.hook);
    g_shared.hook = nullptr;
  }
  return TRUE;
}

BOOL DeleteTrayHook(void) {
  using namespace snarehook;
  RemoveMouseHooks();
  g_shared.serving = 0;
  if (g_shared.taskbar != nullptr && IsWindow(g_shared.taskbar))
    SendToTaskbar(g_shared.detachMessage);
  if (g_shared.hook != nullptr) UnhookWindowsHookEx(g_shared.hook);
  g_shared.hook = nullptr;
  g_shared.installer = 0;
  return TRUE;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    snarehook::g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}
