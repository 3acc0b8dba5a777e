#include "win32/Win32Desktop.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

#include "win32/HandleOwner.h"
#include "win32/Handles.h"

namespace cvl::win32 {

Win32Desktop::Win32Desktop() {
  if (HMODULE kernel = ::GetModuleHandleA("kernel32.dll")) {
    createSnapshot_ = reinterpret_cast<SnapshotFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "CreateToolhelp32Snapshot")));
    module32First_ = reinterpret_cast<ModuleFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "Module32First")));
    module32Next_ = reinterpret_cast<ModuleFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "Module32Next")));
  }
}

Hwnd Win32Desktop::FindWindowA(const char* className, const char* windowName) {
  return FromHwnd(::FindWindowA(className, windowName));
}

Hwnd Win32Desktop::FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                                 const char* windowName) {
  return FromHwnd(::FindWindowExA(ToHwnd(parent), ToHwnd(childAfter), className, windowName));
}

bool Win32Desktop::ShowWindow(Hwnd window, int command) {
  return ::ShowWindow(ToHwnd(window), command) != FALSE;
}

bool Win32Desktop::ShowWindowAsync(Hwnd window, int command) {
  return ::ShowWindowAsync(ToHwnd(window), command) != FALSE;
}

bool Win32Desktop::IsWindowVisible(Hwnd window) {
  return ::IsWindowVisible(ToHwnd(window)) != FALSE;
}

bool Win32Desktop::IsWindow(Hwnd window) {
  return window != 0 && ::IsWindow(ToHwnd(window)) != FALSE;
}

std::uint32_t Win32Desktop::GetWindowStyle(Hwnd window) {
  return static_cast<std::uint32_t>(::GetWindowLongA(ToHwnd(window), GWL_STYLE));
}

Hwnd Win32Desktop::GetOwner(Hwnd window) {
  return FromHwnd(::GetWindow(ToHwnd(window), GW_OWNER));
}

bool Win32Desktop::SetForegroundWindow(Hwnd window) {
  return ::SetForegroundWindow(ToHwnd(window)) != FALSE;
}

bool Win32Desktop::SetActiveWindow(Hwnd window) {
  return ::SetActiveWindow(ToHwnd(window)) != nullptr;
}

Rect Win32Desktop::GetWindowRect(Hwnd window) {
  RECT r{};
  if (window == 0 || !::GetWindowRect(ToHwnd(window), &r)) return {};
  return {r.left, r.top, r.right, r.bottom};
}

Point Win32Desktop::GetCursorPos() {
  POINT p{};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

int Win32Desktop::GetSystemMetrics(int index) {
  return ::GetSystemMetrics(index);
}

Rect Win32Desktop::GetWorkArea() {
  RECT r{};
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) return {};
  return {r.left, r.top, r.right, r.bottom};
}

std::string Win32Desktop::GetClassNameA(Hwnd window, int maxCount) {
  std::vector<char> buffer(static_cast<std::size_t>(maxCount > 0 ? maxCount : 1), '\0');
  const int n = ::GetClassNameA(ToHwnd(window), buffer.data(), maxCount);
  return std::string(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string Win32Desktop::GetWindowTextA(Hwnd window, int maxCount) {
  std::vector<char> buffer(static_cast<std::size_t>(maxCount > 0 ? maxCount : 1), '\0');
  const int n = ::GetWindowTextA(ToHwnd(window), buffer.data(), maxCount);
  return std::string(buffer.data(), n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::uint32_t Win32Desktop::GetWindowThreadProcessId(Hwnd window) {
  DWORD processId = 0;
  ::GetWindowThreadProcessId(ToHwnd(window), &processId);
  return processId;
}

LResult Win32Desktop::SendMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) {
  return static_cast<LResult>(::SendMessageA(ToHwnd(window), msg, wParam, lParam));
}

bool Win32Desktop::SendMessageTimeoutA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam,
                                       std::uint32_t timeoutMs, LResult* result) {
  if (window == 0) return false;
  DWORD_PTR answer = 0;
  const LRESULT ok = ::SendMessageTimeoutA(ToHwnd(window), msg, wParam, lParam,
                                           SMTO_NORMAL | SMTO_ABORTIFHUNG, timeoutMs, &answer);
  if (result != nullptr) *result = static_cast<LResult>(answer);
  return ok != 0;
}

bool Win32Desktop::PostMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) {
  return ::PostMessageA(ToHwnd(window), msg, wParam, lParam) != FALSE;
}

void Win32Desktop::ProcessMessages() {
  // A sender that never stops must not hold one call forever: after this long the rest waits
  // for the next call, and the caller's own bounds get their say.
  constexpr DWORD kLongestPassMs = 200;
  const DWORD start = ::GetTickCount();
  MSG m;
  while (::GetTickCount() - start < kLongestPassMs &&
         ::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) {
      // Leave the quit for the message loop to end the program with.
      ::PostQuitMessage(static_cast<int>(m.wParam));
      return;
    }
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
  }
}

void Win32Desktop::WaitForMessage(std::uint32_t timeoutMs) {
  // MWMO_INPUTAVAILABLE wakes for messages already seen but not yet removed too: without it a
  // message that arrived during the last pass would sleep until the bound.
  ::MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

void Win32Desktop::ProcessMessagesInRange(std::uint32_t first, std::uint32_t last) {
  constexpr DWORD kLongestPassMs = 200;
  const DWORD start = ::GetTickCount();
  MSG m;
  while (::GetTickCount() - start < kLongestPassMs &&
         ::PeekMessageA(&m, nullptr, first, last, PM_REMOVE)) {
    ::TranslateMessage(&m);
    ::DispatchMessageA(&m);
  }
}

std::optional<PostedMessage> Win32Desktop::TakePostedMessage(Hwnd window, std::uint32_t first,
                                                             std::uint32_t last) {
  MSG m;
  if (!::PeekMessageA(&m, ToHwnd(window), first, last, PM_REMOVE)) return std::nullopt;
  return PostedMessage{m.message, static_cast<WParam>(m.wParam), static_cast<LParam>(m.lParam)};
}

void Win32Desktop::WaitForPostedMessage(std::uint32_t timeoutMs) {
  // Only new arrivals wake: input and other messages left queued on purpose would otherwise
  // end every wait at once.
  ::MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_POSTMESSAGE | QS_SENDMESSAGE, 0);
}

bool Win32Desktop::PostedMessageWaiting() {
  // The high word: what the queue holds now, not what came since the last look.
  return (HIWORD(::GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE) != 0;
}

std::uint32_t Win32Desktop::GetTickCount() {
  return ::GetTickCount();
}

std::optional<std::string> Win32Desktop::GlobalGetAtomNameA(Atom atom, int size) {
  std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  const UINT n = ::GlobalGetAtomNameA(atom, buffer.data(), size);
  if (n == 0) return std::nullopt;
  return std::string(buffer.data(), n);
}

void Win32Desktop::GlobalDeleteAtom(Atom atom) {
  ::GlobalDeleteAtom(atom);
}

bool Win32Desktop::ToolhelpAvailable() {
  return createSnapshot_ != nullptr && module32First_ != nullptr && module32Next_ != nullptr;
}

Handle Win32Desktop::CreateToolhelp32Snapshot(std::uint32_t flags, std::uint32_t processId) {
  if (!ToolhelpAvailable()) return kInvalidHandle;
  return static_cast<Handle>(reinterpret_cast<std::uintptr_t>(createSnapshot_(flags, processId)));
}

bool Win32Desktop::ReadModule(ModuleFn fn, Handle snapshot, ModuleEntry& entry) {
  MODULEENTRY32 m;
  std::memset(&m, 0, sizeof m);
  m.dwSize = sizeof m;
  if (fn == nullptr || !fn(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(snapshot)), &m))
    return false;
  entry.hModule = static_cast<Hmodule>(reinterpret_cast<std::uintptr_t>(m.hModule));
  static_assert(sizeof m.szModule == 256 && sizeof m.szExePath == 260);
  std::memcpy(entry.szModule.data(), m.szModule, sizeof m.szModule);
  std::memcpy(entry.szExePath.data(), m.szExePath, sizeof m.szExePath);
  return true;
}

bool Win32Desktop::Module32First(Handle snapshot, ModuleEntry& entry) {
  return ReadModule(module32First_, snapshot, entry);
}

bool Win32Desktop::Module32Next(Handle snapshot, ModuleEntry& entry) {
  return ReadModule(module32Next_, snapshot, entry);
}

std::string Win32Desktop::MainModulePath(std::uint32_t processId) {
  if (!psapiTried_) {
    psapiTried_ = true;
    psapi_.Reset(::LoadLibraryA("psapi.dll"));
    if (psapi_)
      moduleFileNameEx_ = reinterpret_cast<ModuleNameFn>(
          reinterpret_cast<void*>(::GetProcAddress(psapi_.Get(), "GetModuleFileNameExA")));
  }
  if (moduleFileNameEx_ == nullptr) return {};
  const KernelHandleOwner process(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process) return {};
  char path[MAX_PATH] = {};
  const DWORD n = moduleFileNameEx_(process.Get(), nullptr, path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

void Win32Desktop::CloseHandle(Handle handle) {
  ::CloseHandle(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle)));
}

bool Win32Desktop::GetVersionExA(OsVersionInfo& info) {
  OSVERSIONINFOA v;
  std::memset(&v, 0, sizeof v);
  v.dwOSVersionInfoSize = sizeof v;
  static_assert(sizeof(OSVERSIONINFOA) == 148);
  if (!::GetVersionExA(&v)) return false;
  info = {v.dwMajorVersion, v.dwMinorVersion, v.dwBuildNumber, v.dwPlatformId};
  return true;
}

std::string Win32Desktop::GetPrivateProfileStringA(const std::string& section,
                                                   const std::string& key,
                                                   const std::string& defaultValue, int size,
                                                   const std::string& fileName) {
  std::vector<char> buffer(static_cast<std::size_t>(size > 0 ? size : 1), '\0');
  const DWORD n =
      ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(buffer.size()), fileName.c_str());
  return std::string(buffer.data(), n);
}

bool Win32Desktop::WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                              const std::string& value,
                                              const std::string& fileName) {
  return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      fileName.c_str()) != FALSE;
}

bool Win32Desktop::FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

// GetPrivateProfileStringA with a null key (or section): zero-terminated names ended by an
// empty one, read into a buffer that grows while the list fills it (the call then gives its
// size less two). It starts just under 32 KB, the most Windows 95 and 98 read at once: a larger
// buffer may get nothing there, and what a smaller one got is kept.
std::vector<std::string> ProfileNames(const char* section, const std::string& fileName) {
  constexpr DWORD kFirst = 32766;
  constexpr DWORD kLargest = 16u << 20;
  std::vector<char> list;
  DWORD listed = 0;
  for (DWORD size = kFirst; size <= kLargest; size *= 2) {
    std::vector<char> buffer(size, '\0');
    const DWORD n =
        ::GetPrivateProfileStringA(section, nullptr, "", buffer.data(), size, fileName.c_str());
    if (n < listed) break;
    list.swap(buffer);
    listed = n;
    if (n + 2 < size) break;
  }
  // A line "=value" is a key with an empty name: it does not end the list.
  std::vector<std::string> names;
  for (DWORD i = 0; i < listed;) {
    const std::string name(&list[i]);
    if (!name.empty()) names.push_back(name);
    i += static_cast<DWORD>(name.size()) + 1;
  }
  return names;
}

}  // namespace

std::vector<std::string> Win32Desktop::GetPrivateProfileSectionNamesA(const std::string& fileName) {
  return ProfileNames(nullptr, fileName);
}

std::vector<std::string> Win32Desktop::GetPrivateProfileKeyNamesA(const std::string& section,
                                                                  const std::string& fileName) {
  return ProfileNames(section.c_str(), fileName);
}

std::string Win32Desktop::SHGetFolderPathA(int folder) {
  // Looked up, not imported: Windows 95 and NT 4 run without shfolder.dll.
  const LibraryOwner library(::LoadLibraryA("shfolder.dll"));
  if (!library) return {};
  using Fn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  const auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(::GetProcAddress(library.Get(), "SHGetFolderPathA")));
  char path[MAX_PATH] = {};
  constexpr DWORD kCurrentPath = 0;  // SHGFP_TYPE_CURRENT
  // Made when a new profile has none yet (S_FALSE would otherwise name a folder not there).
  constexpr int kFlagCreate = 0x8000;  // CSIDL_FLAG_CREATE
  if (fn == nullptr || fn(nullptr, folder | kFlagCreate, nullptr, kCurrentPath, path) != S_OK)
    return {};
  return path;
}

bool Win32Desktop::MoveFileA(const std::string& from, const std::string& to) {
  return ::MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32Desktop::CreateDirectoryA(const std::string& path) {
  if (::CreateDirectoryA(path.c_str(), nullptr)) return true;
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Desktop::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  NOTIFYICONDATAA nid;
  std::memset(&nid, 0, sizeof nid);
  // The first version's size is understood by every shell from Windows 95 on; a balloon or a
  // state needs the size of 2000 and later, which shells before it refuse.
  const bool later = (data.uFlags & (kNifInfo | kNifState)) != 0 || message == kNimSetVersion;
  nid.cbSize = later ? NOTIFYICONDATAA_V2_SIZE : NOTIFYICONDATAA_V1_SIZE;
  nid.hWnd = ToHwnd(data.hWnd);
  nid.uID = data.uID;
  nid.uFlags = data.uFlags;
  nid.uCallbackMessage = data.uCallbackMessage;
  nid.hIcon = ToHicon(data.hIcon);
  std::strncpy(nid.szTip, data.szTip.c_str(), 63);
  if (later) {
    nid.dwState = data.dwState;
    nid.dwStateMask = data.dwStateMask;
    std::strncpy(nid.szInfo, data.szInfo.c_str(), sizeof nid.szInfo - 1);
    nid.uTimeout = data.uTimeout;
    std::strncpy(nid.szInfoTitle, data.szInfoTitle.c_str(), sizeof nid.szInfoTitle - 1);
    nid.dwInfoFlags = data.dwInfoFlags;
  }
  return ::Shell_NotifyIconA(message, &nid) != FALSE;
}

Hwnd Win32Desktop::GetForegroundWindow() {
  return FromHwnd(::GetForegroundWindow());
}

Hwnd Win32Desktop::GetParent(Hwnd window) {
  return FromHwnd(::GetParent(ToHwnd(window)));
}

bool Win32Desktop::RegisterHotKey(Hwnd window, int id, std::uint32_t modifiers,
                                  std::uint32_t virtualKey) {
  return ::RegisterHotKey(ToHwnd(window), id, modifiers, virtualKey) != FALSE;
}

bool Win32Desktop::UnregisterHotKey(Hwnd window, int id) {
  return ::UnregisterHotKey(ToHwnd(window), id) != FALSE;
}

}  // namespace cvl::win32
