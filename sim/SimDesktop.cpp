#include "sim/SimDesktop.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace cvl::sim {

namespace {

bool SameText(const std::string& a, const char* b) {
  if (b == nullptr) return true;
  const std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

template <std::size_t N>
void CopyField(std::array<char, N>& field, const std::string& text) {
  field.fill('\0');
  std::memcpy(field.data(), text.data(), std::min(text.size(), N - 1));
}

}  // namespace

Hwnd SimDesktop::CreateWindow(const std::string& className, const std::string& title, Hwnd parent,
                              std::uint32_t processId, Handler handler) {
  const Hwnd handle = nextWindow_;
  nextWindow_ += 4;
  SimWindow w;
  w.handle = handle;
  w.className = className;
  w.title = title;
  w.parent = parent;
  w.processId = processId;
  w.handler = std::move(handler);
  windows_[handle] = std::move(w);
  order_.push_back(handle);
  return handle;
}

void SimDesktop::DestroyWindow(Hwnd window) {
  std::vector<Hwnd> children;
  for (const auto& [handle, w] : windows_)
    if (w.parent == window) children.push_back(handle);
  for (const Hwnd child : children) DestroyWindow(child);
  windows_.erase(window);
  order_.erase(std::remove(order_.begin(), order_.end(), window), order_.end());
}

SimWindow* SimDesktop::Window(Hwnd window) {
  const auto it = windows_.find(window);
  return it == windows_.end() ? nullptr : &it->second;
}

Handler SimDesktop::Subclass(Hwnd window, Handler handler) {
  SimWindow* w = Window(window);
  if (w == nullptr) return nullptr;
  std::swap(w->handler, handler);
  return handler;
}

std::uint32_t SimDesktop::CreateProcess(std::vector<SimModule> modules) {
  const std::uint32_t id = nextProcess_++;
  processes_[id] = std::move(modules);
  return id;
}

void SimDesktop::EndProcess(std::uint32_t processId) {
  std::vector<Hwnd> owned;
  for (const auto& [handle, w] : windows_)
    if (w.processId == processId && w.parent == 0) owned.push_back(handle);
  for (const Hwnd handle : owned) DestroyWindow(handle);
  processes_.erase(processId);
  // The watcher's thread sees the process handle signalled and posts.
  if (watched_.erase(processId)) {
    endedUnposted_.push_back(processId);
    RetryWatchPosts();
  }
}

void SimDesktop::WatchProcesses(Hwnd window, std::uint32_t message,
                                const std::vector<std::uint32_t>& processIds) {
  watchWindow_ = window;
  watchMessage_ = message;
  watched_.clear();
  // A process that has already ended cannot be opened: the watcher tells that too.
  for (const std::uint32_t id : processIds)
    if (processes_.count(id))
      watched_.insert(id);
    else
      unopened_.push_back(id);
  RetryWatchPosts();
}

void SimDesktop::RetryWatchPosts() {
  while (!endedUnposted_.empty() &&
         PostMessageA(watchWindow_, watchMessage_, endedUnposted_.front(), 0))
    endedUnposted_.erase(endedUnposted_.begin());
  while (!unopened_.empty() && PostMessageA(watchWindow_, watchMessage_, unopened_.front(), 1))
    unopened_.erase(unopened_.begin());
}

Atom SimDesktop::GlobalAddAtomA(const std::string& name) {
  if (name.empty() || name.size() > 255) return 0;
  // Looked up by name, not scanned: a posted answer keeps every tip's atom alive at once.
  const std::string key = Lower(name);
  if (const auto found = atomByName_.find(key); found != atomByName_.end()) {
    ++atoms_[found->second].references;
    return found->second;
  }
  if (atoms_.size() >= 0x4000) return 0;  // the table is full
  Atom atom = nextAtom_;
  while (atoms_.count(atom)) atom = atom == 0xFFFF ? 0xC000 : static_cast<Atom>(atom + 1);
  nextAtom_ = atom == 0xFFFF ? 0xC000 : static_cast<Atom>(atom + 1);
  atoms_[atom] = {name, 1};
  atomByName_[key] = atom;
  return atom;
}

Hwnd SimDesktop::FindWindowA(const char* className, const char* windowName) {
  return FindWindowExA(0, 0, className, windowName);
}

Hwnd SimDesktop::FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                               const char* windowName) {
  if (parent != 0 && Window(parent) == nullptr) return 0;
  bool started = childAfter == 0;
  for (const Hwnd handle : order_) {
    const SimWindow& w = windows_.at(handle);
    if (w.parent != parent) continue;
    if (!started) {
      started = handle == childAfter;
      continue;
    }
    if (SameText(w.className, className) && SameText(w.title, windowName)) return handle;
  }
  return 0;
}

bool SimDesktop::ShowWindow(Hwnd window, int command) {
  SimWindow* w = Window(window);
  if (w == nullptr) return false;
  Shows.push_back({window, command});
  const bool was = w->visible;
  w->visible = command != kSwHide;
  // SW_SHOW and SW_SHOWNA keep the window's state and hiding keeps it iconic; the minimizing
  // commands make it iconic, every other showing command restores it.
  constexpr int kSwMinimize = 6, kSwShowMinNoActive = 7, kSwShowNa = 8, kSwForceMinimize = 11;
  if (command == kSwShowMinimized || command == kSwMinimize || command == kSwShowMinNoActive ||
      command == kSwForceMinimize)
    w->minimized = true;
  else if (command != kSwHide && command != kSwShow && command != kSwShowNa)
    w->minimized = false;
  return was;
}

bool SimDesktop::ShowWindowAsync(Hwnd window, int command) {
  ++AsyncShows;
  ShowWindow(window, command);
  return Window(window) != nullptr;
}

bool SimDesktop::IsWindowVisible(Hwnd window) {
  for (SimWindow* w = Window(window); w != nullptr; w = w->parent ? Window(w->parent) : nullptr)
    if (!w->visible) return false;
  return Window(window) != nullptr;
}

Rect SimDesktop::GetWindowRect(Hwnd window) {
  const SimWindow* w = Window(window);
  return w == nullptr ? Rect{} : w->rect;
}

int SimDesktop::GetSystemMetrics(int index) {
  const auto it = metrics_.find(index);
  return it == metrics_.end() ? 0 : it->second;
}

std::string SimDesktop::GetClassNameA(Hwnd window, int maxCount) {
  const SimWindow* w = Window(window);
  if (w == nullptr || maxCount <= 0) return {};
  return w->className.substr(0, static_cast<std::size_t>(maxCount - 1));
}

std::string SimDesktop::GetWindowTextA(Hwnd window, int maxCount) {
  const SimWindow* w = Window(window);
  if (w == nullptr || maxCount <= 0) return {};
  return w->title.substr(0, static_cast<std::size_t>(maxCount - 1));
}

std::uint32_t SimDesktop::GetWindowThreadProcessId(Hwnd window) {
  const SimWindow* w = Window(window);
  return w == nullptr ? 0 : w->processId;
}

LResult SimDesktop::Deliver(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) {
  SimWindow* w = Window(window);
  if (w == nullptr || !w->handler) return 0;
  // Copied: the handler may subclass or destroy its own window while it runs.
  const Handler handler = w->handler;
  const bool foreign = w->processId != HomeProcess;
  foreignDepth_ += foreign;
  const LResult r = handler(msg, wParam, lParam);
  foreignDepth_ -= foreign;
  return r;
}

void SimDesktop::Switch(const char* where) {
  if (SwitchPoint && foreignDepth_ == 0) SwitchPoint(where);
}

bool SimDesktop::WaitUntilAnswered(const SimWindow& w, std::uint32_t timeoutMs) {
  const auto it = stalled_.find(w.processId);
  if (it == stalled_.end()) return true;
  const std::uint32_t left = it->second - now_;
  if (static_cast<std::int32_t>(left) <= 0) {
    stalled_.erase(it);
    return true;
  }
  if (left > timeoutMs) {
    now_ += timeoutMs;
    return false;
  }
  now_ = it->second;
  stalled_.erase(it);
  return true;
}

LResult SimDesktop::SendMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) {
  if (GetWindowThreadProcessId(window) != HomeProcess) Switch("send");
  Log.push_back({MessageRecord::Sent, window, msg, wParam, lParam});
  SimWindow* w = Window(window);
  if (w == nullptr) return 0;
  if (w->hung) {
    ++BlockedSends;
    return 0;
  }
  WaitUntilAnswered(*w, 0xFFFFFFFFu);
  return Deliver(window, msg, wParam, lParam);
}

bool SimDesktop::SendMessageTimeoutA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam,
                                     std::uint32_t timeoutMs, LResult* result) {
  if (GetWindowThreadProcessId(window) != HomeProcess) Switch("send");
  Log.push_back({MessageRecord::Sent, window, msg, wParam, lParam});
  SimWindow* w = Window(window);
  if (w == nullptr) return false;
  if (w->hung || !WaitUntilAnswered(*w, timeoutMs)) {
    if (w->hung) now_ += timeoutMs;
    return false;
  }
  const LResult r = Deliver(window, msg, wParam, lParam);
  if (result != nullptr) *result = r;
  return true;
}

bool SimDesktop::SendCopyDataTimeout(Hwnd window, std::uint32_t tag,
                                     const std::vector<std::uint8_t>& data, std::uint32_t timeoutMs,
                                     LResult* result) {
  constexpr std::uint32_t kWmCopyData = 0x4A;
  Log.push_back({MessageRecord::Sent, window, kWmCopyData, tag, static_cast<LParam>(data.size())});
  SimWindow* w = Window(window);
  if (w == nullptr) return false;
  if (w->hung || !WaitUntilAnswered(*w, timeoutMs)) {
    if (w->hung) now_ += timeoutMs;
    if (LateCopyData) lateCopies_.push_back({window, tag, data});
    return false;
  }
  const auto take = w->copyData;  // the handler may go with its window meanwhile
  const LResult r = take ? take(tag, data) : 0;
  if (result != nullptr) *result = r;
  return true;
}

bool SimDesktop::PostMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) {
  if (Window(window) == nullptr) return false;
  // Only posted messages count: a sent one waits in a queue of its own.
  if (PostedQueueLimit != 0 &&
      static_cast<std::size_t>(std::count_if(queue_.begin(), queue_.end(), [](const auto& m) {
        return m.kind == MessageRecord::Posted;
      })) >= PostedQueueLimit)
    return false;
  Log.push_back({MessageRecord::Posted, window, msg, wParam, lParam});
  queue_.push_back({MessageRecord::Posted, window, msg, wParam, lParam});
  return true;
}

bool SimDesktop::SendNotifyMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) {
  if (Window(window) == nullptr) return false;
  Log.push_back({MessageRecord::Sent, window, msg, wParam, lParam});
  queue_.push_back({MessageRecord::Sent, window, msg, wParam, lParam});
  return true;
}

void SimDesktop::DeliverLateCopies() {
  while (!lateCopies_.empty()) {
    const LateCopy late = std::move(lateCopies_.front());
    lateCopies_.pop_front();
    SimWindow* w = Window(late.window);
    const auto take = w != nullptr ? w->copyData : nullptr;
    if (take) take(late.tag, late.data);
  }
}

void SimDesktop::ProcessMessages() {
  ++PumpCount;
  if (queue_.empty()) Switch("idle pump");
  DeliverLateCopies();  // sent messages go before posted ones
  // One pass over what is waiting now: what those messages post waits for the next pass, so a
  // sender that never stops cannot hold a single pass forever.
  for (std::size_t waiting = queue_.size(); waiting > 0 && !queue_.empty(); --waiting) {
    Switch("pump");
    if (queue_.empty()) break;
    const MessageRecord m = queue_.front();
    queue_.pop_front();
    now_ += PostedDelayMs;
    Deliver(m.window, m.msg, m.wParam, m.lParam);
  }
}

void SimDesktop::WaitForMessage(std::uint32_t timeoutMs) {
  Switch("wait");
  if (queue_.empty()) now_ += timeoutMs;
}

void SimDesktop::ProcessMessagesInRange(std::uint32_t first, std::uint32_t last) {
  ++PumpCount;
  DeliverLateCopies();  // a range holds back posted messages only
  std::deque<MessageRecord> left;
  Switch("answer pump");
  for (std::size_t waiting = queue_.size(); waiting > 0 && !queue_.empty(); --waiting) {
    const MessageRecord m = queue_.front();
    queue_.pop_front();
    if (m.msg < first || m.msg > last) {
      left.push_back(m);
      continue;
    }
    now_ += PostedDelayMs;
    Deliver(m.window, m.msg, m.wParam, m.lParam);
  }
  // What was left goes back ahead of anything posted meanwhile, in its order.
  queue_.insert(queue_.begin(), left.begin(), left.end());
  leftByRangedPump_ = left.size();
}

std::optional<PostedMessage> SimDesktop::TakePostedMessage(Hwnd window, std::uint32_t first,
                                                           std::uint32_t last) {
  Switch("peek");
  for (auto it = queue_.begin(); it != queue_.end(); ++it) {
    if (it->window != window || it->msg < first || it->msg > last) continue;
    const PostedMessage m{it->msg, it->wParam, it->lParam};
    if (static_cast<std::size_t>(it - queue_.begin()) < leftByRangedPump_) --leftByRangedPump_;
    queue_.erase(it);
    return m;
  }
  return std::nullopt;
}

bool SimDesktop::PostedMessageWaiting() {
  return std::any_of(queue_.begin(), queue_.end(),
                     [](const MessageRecord& m) { return m.kind == MessageRecord::Posted; });
}

void SimDesktop::WaitForPostedMessage(std::uint32_t timeoutMs) {
  // A message posted since the last pump ends the wait at once; otherwise nothing runs
  // beside the program here, and the wait lasts its whole bound.
  Switch("answer wait");
  if (queue_.size() > leftByRangedPump_) return;
  now_ += timeoutMs;
}

std::optional<std::string> SimDesktop::GlobalGetAtomNameA(Atom atom, int size) {
  const auto it = atoms_.find(atom);
  if (it == atoms_.end() || size <= 0) return std::nullopt;
  return it->second.name.substr(0, static_cast<std::size_t>(size - 1));
}

void SimDesktop::GlobalDeleteAtom(Atom atom) {
  const auto it = atoms_.find(atom);
  if (it != atoms_.end() && --it->second.references == 0) {
    atomByName_.erase(Lower(it->second.name));
    atoms_.erase(it);
  }
}

Handle SimDesktop::CreateToolhelp32Snapshot(std::uint32_t, std::uint32_t processId) {
  ++Snapshots;
  if (FailingSnapshots > 0) {
    --FailingSnapshots;
    return kInvalidHandle;
  }
  const auto it = processes_.find(processId);
  if (it == processes_.end()) return kInvalidHandle;
  const Handle handle = nextSnapshot_++;
  snapshots_[handle] = Snapshot{it->second, 0};
  return handle;
}

bool SimDesktop::ReadModule(Snapshot& snapshot, ModuleEntry& entry) {
  if (snapshot.next >= snapshot.modules.size()) return false;
  const SimModule& m = snapshot.modules[snapshot.next++];
  entry.hModule = m.handle;
  CopyField(entry.szModule, m.name);
  CopyField(entry.szExePath, m.path);
  return true;
}

bool SimDesktop::Module32First(Handle snapshot, ModuleEntry& entry) {
  const auto it = snapshots_.find(snapshot);
  if (it == snapshots_.end()) return false;
  it->second.next = 0;
  return ReadModule(it->second, entry);
}

bool SimDesktop::Module32Next(Handle snapshot, ModuleEntry& entry) {
  const auto it = snapshots_.find(snapshot);
  return it != snapshots_.end() && ReadModule(it->second, entry);
}

std::string SimDesktop::MainModulePath(std::uint32_t processId) {
  const auto it = processes_.find(processId);
  if (!mainModuleLookup_ || it == processes_.end() || it->second.empty()) return {};
  return it->second.front().path;
}

void SimDesktop::CloseHandle(Handle handle) {
  snapshots_.erase(handle);
}

bool SimDesktop::GetVersionExA(OsVersionInfo& info) {
  info = version_;
  return true;
}

std::string SimDesktop::GetPrivateProfileStringA(const std::string& section, const std::string& key,
                                                 const std::string& defaultValue, int size,
                                                 const std::string& fileName) {
  return profile_.Get(section, key, defaultValue, size, fileName);
}

bool SimDesktop::WritePrivateProfileStringA(const std::string& section, const std::string& key,
                                            const std::string& value, const std::string& fileName) {
  // A new file needs its folder: Windows makes none.
  const std::string path = SimProfile::Resolve(fileName);
  if (!FileExists(path) && !FolderExists(path.substr(0, path.find_last_of('\\')))) return false;
  if (!RefuseWritesTo.empty() && path.find(RefuseWritesTo) != std::string::npos &&
      WritesBeforeRefusal-- <= 0)
    return false;
  return profile_.Write(section, key, value, fileName);
}

namespace {

std::string LowerPath(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  while (!s.empty() && s.back() == '\\') s.pop_back();
  return s;
}

}  // namespace

bool SimDesktop::FolderExists(const std::string& path) const {
  const std::string folder = LowerPath(path);
  // Folders this model knows nothing of, such as a program's own, are taken to be there.
  const std::string windows = LowerPath(SimProfile::kWindowsDirectory);
  const bool known = folder == windows || (AppDataFolder && folder == LowerPath(*AppDataFolder));
  if (known) return true;
  if (madeFolders_.count(folder)) return true;
  return !AppDataFolder || folder.rfind(LowerPath(*AppDataFolder) + "\\", 0) != 0;
}

bool SimDesktop::MoveFileA(const std::string& from, const std::string& to) {
  const auto text = profile_.FileText(from);
  const std::string target = SimProfile::Resolve(to);
  if (!text || FileExists(target) || !FolderExists(target.substr(0, target.find_last_of('\\'))))
    return false;
  profile_.SetFileText(target, *text);
  profile_.RemoveFile(from);
  return true;
}

bool SimDesktop::CreateDirectoryA(const std::string& path) {
  if (FolderExists(path)) return true;
  const std::string folder = LowerPath(path);
  const auto slash = folder.find_last_of('\\');
  if (RefuseFolders || slash == std::string::npos || !FolderExists(folder.substr(0, slash)))
    return false;
  madeFolders_.insert(folder);
  return true;
}

bool SimDesktop::Shell_NotifyIconA(std::uint32_t message, const NotifyIconData& data) {
  Switch("own icon");
  if (RefuseIcons && message == kNimAdd) return false;
  if (!NotifyIconSink) return false;
  // The shell's thread takes the call: no other program's call can come in the middle.
  ++foreignDepth_;
  const bool done = NotifyIconSink(message, data);
  --foreignDepth_;
  return done;
}

Hwnd SimDesktop::GetParent(Hwnd window) {
  // As Windows: the parent of a child window, the owner of a top-level one.
  const SimWindow* w = Window(window);
  if (w == nullptr) return 0;
  return (w->style & kWsChild) != 0 ? w->parent : w->owner;
}

bool SimDesktop::RegisterHotKey(Hwnd window, int id, std::uint32_t modifiers,
                                std::uint32_t virtualKey) {
  if (window != 0 && Window(window) == nullptr) return false;
  for (const auto& [m, k] : HeldKeys)
    if (m == modifiers && k == virtualKey) return false;
  // The same window and id again is kept beside the old key, as Windows keeps it.
  for (const HotKey& key : HotKeys)
    if (key.modifiers == modifiers && key.virtualKey == virtualKey) return false;
  HotKeys.push_back({window, id, modifiers, virtualKey});
  return true;
}

bool SimDesktop::UnregisterHotKey(Hwnd window, int id) {
  const auto found = std::find_if(HotKeys.begin(), HotKeys.end(), [&](const HotKey& k) {
    return k.window == window && k.id == id;
  });
  if (found == HotKeys.end()) return false;
  HotKeys.erase(found);
  return true;
}

bool SimDesktop::PressKey(std::uint32_t modifiers, std::uint32_t virtualKey) {
  constexpr std::uint32_t kWmHotKey = 0x0312;
  for (const HotKey& key : HotKeys)
    if (key.modifiers == modifiers && key.virtualKey == virtualKey)
      return PostMessageA(key.window, kWmHotKey, static_cast<WParam>(key.id),
                          static_cast<LParam>(modifiers | (virtualKey << 16)));
  return false;
}

}  // namespace cvl::sim
