// nullhook.dll: a hook procedure that does nothing but call the next hook, for the benchmark that
// prices a hook on the taskbar's thread by itself (burstprograms.exe burst ... --hook KIND).
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK NullHook(int code, WPARAM wp, LPARAM lp) {
  return CallNextHookEx(nullptr, code, wp, lp);
}
