#pragma once
// The port through which the core reaches the operating system. Each method mirrors the Windows
// call of the same name; the Windows adapter forwards it, the simulated desktop models it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Types.h"

namespace cvl {

struct OsVersionInfo {
  std::uint32_t dwMajorVersion = 0;
  std::uint32_t dwMinorVersion = 0;
  std::uint32_t dwBuildNumber = 0;
  std::uint32_t dwPlatformId = 0;
};

// The ANSI MODULEENTRY32 fields the core reads; the names are fixed-size and zero-terminated
// at most at their last character, as Toolhelp fills them.
struct ModuleEntry {
  Hmodule hModule = 0;
  std::array<char, 256> szModule{};
  std::array<char, 260> szExePath{};
};

struct NotifyIconData {
  Hwnd hWnd = 0;
  std::uint32_t uID = 0;
  std::uint32_t uFlags = 0;
  std::uint32_t uCallbackMessage = 0;
  Hicon hIcon = 0;
  std::string szTip;
  // Windows 2000 and later: the icon's state and its balloon.
  std::uint32_t dwState = 0;
  std::uint32_t dwStateMask = 0;
  std::string szInfo;  // 255 characters at most; empty with kNifInfo clears the balloon
  std::uint32_t uTimeout = 0;
  std::string szInfoTitle;  // 63 characters at most
  std::uint32_t dwInfoFlags = 0;
};

// A message taken from the queue before it was dispatched.
struct PostedMessage {
  std::uint32_t msg = 0;
  WParam wParam = 0;
  LParam lParam = 0;
};

inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNimSetVersion = 4;  // uTimeout carries the version
inline constexpr std::uint32_t kNifMessage = 1;
inline constexpr std::uint32_t kNifIcon = 2;
inline constexpr std::uint32_t kNifTip = 4;
inline constexpr std::uint32_t kTh32csSnapModule = 8;
inline constexpr int kCsidlAppData = 0x1A;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Windows. A null class or title matches any.
  virtual Hwnd FindWindowA(const char* className, const char* windowName) = 0;
  virtual Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                             const char* windowName) = 0;
  virtual bool ShowWindow(Hwnd window, int command) = 0;
  // Posts the change to the window's own thread: a window of a busy shell cannot block us.
  virtual bool ShowWindowAsync(Hwnd window, int command) = 0;
  virtual bool IsWindowVisible(Hwnd window) = 0;
  virtual bool IsWindow(Hwnd window) = 0;
  virtual std::uint32_t GetWindowStyle(Hwnd window) = 0;  // GetWindowLongA(GWL_STYLE)
  virtual Hwnd GetOwner(Hwnd window) = 0;                 // GetWindow(GW_OWNER)
  virtual bool SetForegroundWindow(Hwnd window) = 0;
  virtual bool SetActiveWindow(Hwnd window) = 0;
  // Screen coordinates; an empty rectangle for a window that is gone.
  virtual Rect GetWindowRect(Hwnd window) = 0;
  virtual Point GetCursorPos() = 0;
  virtual int GetSystemMetrics(int index) = 0;
  // SystemParametersInfoA(SPI_GETWORKAREA).
  virtual Rect GetWorkArea() = 0;
  // Text of at most maxCount - 1 characters, as the ANSI calls fill a buffer of maxCount.
  virtual std::string GetClassNameA(Hwnd window, int maxCount) = 0;
  virtual std::string GetWindowTextA(Hwnd window, int maxCount) = 0;
  virtual std::uint32_t GetWindowThreadProcessId(Hwnd window) = 0;  // the process ID

  // Messages.
  virtual LResult SendMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) = 0;
  // False when the window is missing, hung, or did not answer within timeoutMs.
  virtual bool SendMessageTimeoutA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam,
                                   std::uint32_t timeoutMs, LResult* result) = 0;
  virtual bool PostMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) = 0;
  // Dispatches every message waiting in this thread's queue, then returns.
  virtual void ProcessMessages() = 0;
  // Returns when a message arrives or after timeoutMs, whichever comes first.
  virtual void WaitForMessage(std::uint32_t timeoutMs) = 0;
  // Dispatches only the waiting posted messages numbered first..last, in their order (sent
  // messages are handled as ever); every other message stays queued for later.
  virtual void ProcessMessagesInRange(std::uint32_t first, std::uint32_t last) = 0;
  // PeekMessageA with PM_REMOVE: the oldest message posted to the window numbered
  // first..last, taken without being dispatched; nothing when none waits. Sent messages that
  // arrive meanwhile are handled, as by every peek.
  virtual std::optional<PostedMessage> TakePostedMessage(Hwnd window, std::uint32_t first,
                                                         std::uint32_t last) = 0;
  // Returns when a message is posted or sent to this thread, or after timeoutMs.
  virtual void WaitForPostedMessage(std::uint32_t timeoutMs) = 0;
  // True when a message posted to this thread waits in its queue. Nothing is dispatched, not
  // even a sent message (GetQueueStatus, not a peek).
  virtual bool PostedMessageWaiting() = 0;
  virtual std::uint32_t GetTickCount() = 0;

  // Global atoms. The name is read into a buffer of size characters.
  virtual std::optional<std::string> GlobalGetAtomNameA(Atom atom, int size) = 0;
  virtual void GlobalDeleteAtom(Atom atom) = 0;

  // Toolhelp, looked up at run time: unavailable on systems without it.
  virtual bool ToolhelpAvailable() = 0;
  virtual Handle CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) = 0;
  virtual bool Module32First(Handle snapshot, ModuleEntry& entry) = 0;
  virtual bool Module32Next(Handle snapshot, ModuleEntry& entry) = 0;
  // The full path of a process's own module (psapi's GetModuleFileNameExA), empty where the
  // system cannot tell it: cheaper than a module snapshot, which on NT runs a thread in that
  // process.
  virtual std::string MainModulePath(std::uint32_t processId) = 0;
  virtual void CloseHandle(Handle handle) = 0;

  virtual bool GetVersionExA(OsVersionInfo& info) = 0;

  // Profile strings. The value is read into a buffer of size characters.
  virtual std::string GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                               const std::string& defaultValue, int size,
                                               const std::string& fileName) = 0;
  virtual bool WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                          const std::string& value,
                                          const std::string& fileName) = 0;

  // GetPrivateProfileSectionNamesA (or GetPrivateProfileStringA with a null section): the
  // file's sections, in file order.
  virtual std::vector<std::string> GetPrivateProfileSectionNamesA(const std::string& fileName) = 0;
  // GetPrivateProfileStringA with a null key: the section's keys, in file order.
  virtual std::vector<std::string> GetPrivateProfileKeyNamesA(const std::string& section,
                                                              const std::string& fileName) = 0;

  // GetFileAttributesA finds the file (and it is no directory).
  virtual bool FileExists(const std::string& path) = 0;
  // SHGetFolderPathA of shfolder.dll, looked up at run time: empty where the library or the
  // folder is missing (Windows 95 and NT 4 without a current Internet Explorer).
  virtual std::string SHGetFolderPathA(int folder) = 0;
  // CreateDirectoryA: true when the folder is there afterwards, made now or before.
  virtual bool CreateDirectoryA(const std::string& path) = 0;
  // MoveFileA: renames a file; false when the target exists or the file cannot be moved.
  virtual bool MoveFileA(const std::string& from, const std::string& to) = 0;

  // With kNifInfo the record goes in the size of Windows 2000 and later, which carries
  // the balloon; otherwise in the first version's size, which every shell takes.
  virtual bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) = 0;
  // The processes to wait on (OpenProcess with SYNCHRONIZE, waited on off the main thread):
  // when one ends, message is posted to window with the process ID in wParam. Each call
  // replaces the set; a process that cannot be opened is not waited on.
  virtual void WatchProcesses(Hwnd window, std::uint32_t message,
                              const std::vector<std::uint32_t>& processIds) = 0;
  // 0 when the name could not be registered.
  virtual std::uint32_t RegisterWindowMessageA(const char* name) = 0;

  // The minimizer's key.
  virtual Hwnd GetForegroundWindow() = 0;
  virtual Hwnd GetParent(Hwnd window) = 0;
  // WM_HOTKEY to the window with the id; false when the key is held already, by any program.
  virtual bool RegisterHotKey(Hwnd window, int id, std::uint32_t modifiers,
                              std::uint32_t virtualKey) = 0;
  virtual bool UnregisterHotKey(Hwnd window, int id) = 0;
};

}  // namespace cvl
