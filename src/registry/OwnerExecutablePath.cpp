#include "registry/OwnerExecutablePath.h"

#include <cstring>

namespace cvl {

namespace {

template <std::size_t N>
std::string UpToZero(const std::array<char, N>& field) {
  return std::string(field.data(), strnlen(field.data(), N));
}

// The walk stops at the first module whose name ends in E; the loader lists a process's own
// module first, so where that one's name ends in E the walk would stop right there. A path the
// snapshot may have cut is walked: on NT its paths come through a field of 256 characters, and
// one that fills it may have been cut.
constexpr std::size_t kNtSnapshotPathField = 256;

bool WalkStopsAt(const std::string& mainModule) {
  const std::size_t slash = mainModule.find_last_of("\\/");
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  return nameStart < mainModule.size() && mainModule.size() < kNtSnapshotPathField - 1 &&
         (mainModule.back() == 'E' || mainModule.back() == 'e');
}

}  // namespace

std::string OwnerExecutablePath(Desktop& desktop, Hwnd window) {
  if (!desktop.ToolhelpAvailable()) return {};
  const std::uint32_t processId = desktop.GetWindowThreadProcessId(window);
  // No process (the window is gone): a snapshot of process 0 would list this very program.
  if (processId == 0) return {};
  if (std::string path = desktop.MainModulePath(processId); WalkStopsAt(path)) return path;
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
