#pragma once
// Waits on the processes of the tray icons' owners, off the main thread, and posts a message
// when one ends. The thread sleeps in its wait while nothing happens: no polling. It alone
// opens, waits on and closes the process handles; the main thread only hands it the set of
// process IDs and wakes it.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "win32/HandleOwner.h"

namespace cvl::win32 {

class ProcessWatcher {
 public:
  ProcessWatcher();
  ~ProcessWatcher();
  ProcessWatcher(const ProcessWatcher&) = delete;
  ProcessWatcher& operator=(const ProcessWatcher&) = delete;

  // Replaces the set; the thread starts with the first one.
  void Watch(HWND window, UINT message, const std::vector<std::uint32_t>& processIds);

 private:
  static DWORD WINAPI Run(void* self);
  void Loop();
  // Brings the thread's handles in line with the set asked for.
  void Reopen();

  CRITICAL_SECTION lock_;
  KernelHandleOwner wake_;  // auto-reset: the set changed, or the end
  KernelHandleOwner thread_;
  // Guarded by lock_.
  HWND window_ = nullptr;
  UINT message_ = 0;
  std::vector<std::uint32_t> wanted_;
  bool stop_ = false;
  // The thread's own.
  struct Watched {
    std::uint32_t id;
    KernelHandleOwner process;
  };
  std::vector<Watched> watched_;
  std::vector<std::uint32_t> ended_;  // told already: not opened again while still asked for
};

}  // namespace cvl::win32
