#include "registry/OwnerExecutablePath.h"

#include <cstring>

namespace cvl {

namespace {

template <std::size_t N>
std::string UpToZero(const std::array<char, N>& field) {
  return std::string(field.data(), strnlen(field.data(), N));
}

}  // namespace

std::string OwnerExecutablePath(Desktop& desktop, Hwnd window) {
  if (!desktop.ToolhelpAvailable()) return {};
  const std::uint32_t processId = desktop.GetWindowThreadProcessId(window);
  // No process (the window is gone): a snapshot of process 0 would list this very program.
  if (processId == 0) return {};
  const Handle snapshot = desktop.CreateToolhelp32Snapshot(kTh32csSnapModule, processId);
  if (snapshot == kInvalidHandle) return {};

  std::string path;
  ModuleEntry entry;
  if (desktop.Module32First(snapshot, entry)) {
    while (entry.hModule != 0) {
      const std::string name = UpToZero(entry.szModule);
      if (!name.empty() && (name.back() == 'E' || name.back() == 'e')) break;
      ModuleEntry next;
      if (!desktop.Module32Next(snapshot, next)) break;
      entry = next;
    }
    path = UpToZero(entry.szExePath);
  }
  desktop.CloseHandle(snapshot);
  return path;
}

}  // namespace cvl
