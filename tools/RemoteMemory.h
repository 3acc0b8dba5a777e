#pragma once
// A page of memory in another window's process, for messages that carry pointers (the list
// view's items, the toolbar's buttons) and for reading what those pointers point at there.
#include <windows.h>

struct RemoteMemory {
  HANDLE process = nullptr;
  char* base = nullptr;
  explicit RemoteMemory(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process)
      base =
          static_cast<char*>(::VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE));
  }
  ~RemoteMemory() {
    if (base) ::VirtualFreeEx(process, base, 0, MEM_RELEASE);
    if (process) ::CloseHandle(process);
  }
  RemoteMemory(const RemoteMemory&) = delete;
  RemoteMemory& operator=(const RemoteMemory&) = delete;
  bool Write(const void* data, SIZE_T size, SIZE_T offset = 0) {
    return ::WriteProcessMemory(process, base + offset, data, size, nullptr);
  }
  bool Read(void* data, SIZE_T size, SIZE_T offset = 0) {
    return ::ReadProcessMemory(process, base + offset, data, size, nullptr);
  }
  // Anywhere in that process.
  bool ReadAt(const void* at, void* data, SIZE_T size) {
    return ::ReadProcessMemory(process, at, data, size, nullptr);
  }
};
