#pragma once
// A page of memory in another window's process, for messages that carry pointers (the list
// view's items, the toolbar's buttons) and for reading what those pointers point at there.
#include <windows.h>

#include <commctrl.h>

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

// Each button of the shell's tray toolbar with the record its dwData points at, for those whose
// both could be read: visit(const TBBUTTON&, const TrayRecord&).
template <typename Record, typename Visit>
void ForEachTrayButton(HWND toolbar, RemoteMemory& remote, Visit visit) {
  const int count = static_cast<int>(::SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON b{};
    if (!::SendMessageA(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(remote.base)) ||
        !remote.Read(&b, sizeof b))
      continue;
    Record r{};
    if (!remote.ReadAt(reinterpret_cast<const void*>(b.dwData), &r, sizeof r)) continue;
    visit(b, r);
  }
}
