#pragma once
// The port on Windows: each method is the Windows call of the same name.
#include <windows.h>

#include <tlhelp32.h>

#include "platform/Desktop.h"
#include "win32/ProcessWatcher.h"

namespace cvl::win32 {

class Win32Desktop final : public Desktop {
 public:
  Win32Desktop();

  Hwnd FindWindowA(const char* className, const char* windowName) override;
  Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                     const char* windowName) override;
  bool ShowWindow(Hwnd window, int command) override;
  bool ShowWindowAsync(Hwnd window, int command) override;
  bool IsWindowVisible(Hwnd window) override;
  bool IsWindow(Hwnd window) override;
  std::uint32_t GetWindowStyle(Hwnd window) override;
  Hwnd GetOwner(Hwnd window) override;
  bool SetForegroundWindow(Hwnd window) override;
  Hwnd GetForegroundWindow() override;
  Hwnd GetParent(Hwnd window) override;
  bool RegisterHotKey(Hwnd window, int id, std::uint32_t modifiers,
                      std::uint32_t virtualKey) override;
  bool UnregisterHotKey(Hwnd window, int id) override;
  bool SetActiveWindow(Hwnd window) override;
  Rect GetWindowRect(Hwnd window) override;
  Point GetCursorPos() override;
  int GetSystemMetrics(int index) override;
  Rect GetWorkArea() override;
  std::string GetClassNameA(Hwnd window, int maxCount) override;
  std::string GetWindowTextA(Hwnd window, int maxCount) override;
  std::uint32_t GetWindowThreadProcessId(Hwnd window) override;
  LResult SendMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) override;
  bool SendMessageTimeoutA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam,
                           std::uint32_t timeoutMs, LResult* result) override;
  bool PostMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) override;
  void ProcessMessages() override;
  void ProcessMessagesInRange(std::uint32_t first, std::uint32_t last) override;
  std::optional<PostedMessage> TakePostedMessage(Hwnd window, std::uint32_t first,
                                                 std::uint32_t last) override;
  void WaitForPostedMessage(std::uint32_t timeoutMs) override;
  bool PostedMessageWaiting() override;
  void WaitForMessage(std::uint32_t timeoutMs) override;
  std::uint32_t GetTickCount() override;
  std::optional<std::string> GlobalGetAtomNameA(Atom atom, int size) override;
  void GlobalDeleteAtom(Atom atom) override;
  bool ToolhelpAvailable() override;
  Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) override;
  bool Module32First(Handle snapshot, ModuleEntry& entry) override;
  bool Module32Next(Handle snapshot, ModuleEntry& entry) override;
  std::string MainModulePath(std::uint32_t processId) override;
  void CloseHandle(Handle handle) override;
  bool GetVersionExA(OsVersionInfo& info) override;
  std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                       const std::string& defaultValue, int size,
                                       const std::string& fileName) override;
  bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                  const std::string& value, const std::string& fileName) override;
  bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) override;
  void WatchProcesses(Hwnd window, std::uint32_t message,
                      const std::vector<std::uint32_t>& processIds) override {
    watcher_.Watch(reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)), message, processIds);
  }
  std::uint32_t RegisterWindowMessageA(const char* name) override {
    return ::RegisterWindowMessageA(name);
  }
  bool FileExists(const std::string& path) override;
  std::vector<std::string> GetPrivateProfileSectionNamesA(const std::string& fileName) override;
  std::vector<std::string> GetPrivateProfileKeyNamesA(const std::string& section,
                                                      const std::string& fileName) override;
  std::string SHGetFolderPathA(int folder) override;
  bool CreateDirectoryA(const std::string& path) override;
  bool MoveFileA(const std::string& from, const std::string& to) override;

 private:
  using SnapshotFn = HANDLE(WINAPI*)(DWORD, DWORD);
  using ModuleFn = BOOL(WINAPI*)(HANDLE, LPMODULEENTRY32);
  bool ReadModule(ModuleFn fn, Handle snapshot, ModuleEntry& entry);

  // Looked up in kernel32.dll once: NT 4 has no Toolhelp.
  SnapshotFn createSnapshot_ = nullptr;
  ModuleFn module32First_ = nullptr;
  ModuleFn module32Next_ = nullptr;
  // psapi.dll, loaded at the first lookup: Windows 9x has none.
  using ModuleNameFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);
  bool psapiTried_ = false;
  LibraryOwner psapi_;
  ModuleNameFn moduleFileNameEx_ = nullptr;
  ProcessWatcher watcher_;
};

}  // namespace cvl::win32
