#pragma once
// A simulated Windows desktop: windows with handlers, synchronous re-entrant sends, a posted
// queue that the program's pump drains, global atoms, processes with module lists, profile
// files, the version, and a virtual clock that moves only when something waits.
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/Desktop.h"
#include "sim/SimProfile.h"

namespace cvl::sim {

using Handler = std::function<LResult(std::uint32_t msg, WParam wParam, LParam lParam)>;

struct SimWindow {
  Hwnd handle = 0;
  std::string className;
  std::string title;
  Hwnd parent = 0;
  std::uint32_t processId = 0;
  bool visible = false;
  bool minimized = false;            // iconic: kept while hidden, until a command restores it
  Rect rect;                         // screen coordinates
  std::uint32_t style = 0x10CF0000;  // WS_OVERLAPPEDWINDOW | WS_VISIBLE
  Hwnd owner = 0;
  bool hung = false;  // takes no message: bounded sends time out, unbounded ones would block
  Handler handler;
  // WM_COPYDATA: its dwData and its bytes; nothing set takes none (0).
  std::function<LResult(std::uint32_t tag, const std::vector<std::uint8_t>& data)> copyData;
};

struct SimModule {
  Hmodule handle = 0;
  std::string name;
  std::string path;
};

struct MessageRecord {
  enum Kind { Sent, Posted } kind;
  Hwnd window;
  std::uint32_t msg;
  WParam wParam;
  LParam lParam;
};

struct ShowRecord {
  Hwnd window;
  int command;
  bool operator==(const ShowRecord&) const = default;
};

class SimDesktop : public Desktop {
 public:
  // Windows, in creation order; top-level windows have parent 0.
  Hwnd CreateWindow(const std::string& className, const std::string& title, Hwnd parent,
                    std::uint32_t processId, Handler handler = nullptr);
  void DestroyWindow(Hwnd window);
  // A WM_COPYDATA, bounded as SendMessageTimeoutA; logged as message 0x4A with the tag and the
  // size.
  bool SendCopyDataTimeout(Hwnd window, std::uint32_t tag, const std::vector<std::uint8_t>& data,
                           std::uint32_t timeoutMs, LResult* result);
  SimWindow* Window(Hwnd window);
  // Replaces a window's handler, returning the old one: subclassing.
  Handler Subclass(Hwnd window, Handler handler);

  std::uint32_t CreateProcess(std::vector<SimModule> modules);
  // Ends a process: its windows go, its module list cannot be read any more.
  void EndProcess(std::uint32_t processId);

  Atom GlobalAddAtomA(const std::string& name);
  int AtomCount() const { return static_cast<int>(atoms_.size()); }

  // The process answers no message until ms of virtual time have passed: a busy shell. A send
  // with a shorter bound gives up and the message is lost; a longer one waits for the answer.
  void StallProcess(std::uint32_t processId, std::uint32_t ms) { stalled_[processId] = now_ + ms; }

  void SetVersion(OsVersionInfo version) { version_ = version; }
  void SetMetric(int index, int value) { metrics_[index] = value; }
  void SetWorkArea(Rect area) { workArea_ = area; }
  void SetCursor(Point at) { cursor_ = at; }
  void SetToolhelp(bool available) { toolhelp_ = available; }
  // Answers MainModulePath with the first module's path, as the NT loader lists it; off, as
  // on Windows 9x.
  void SetMainModuleLookup(bool available) { mainModuleLookup_ = available; }
  SimProfile& Profile() { return profile_; }
  int OpenHandles() const { return static_cast<int>(snapshots_.size()); }

  // Where Shell_NotifyIconA goes: the taskbar, when one runs.
  std::function<bool(std::uint32_t message, const NotifyIconData& data)> NotifyIconSink;

  // Points where Windows could let another process run: a send to another process, each
  // message a pump dispatches, a wait, a look into the queue and the program's own
  // Shell_NotifyIconA. Told only while no other process's code is on the stack (the shell
  // busy with a send cannot take another program's call meanwhile).
  std::function<void(const char* where)> SwitchPoint;
  std::uint32_t HomeProcess = 0;  // the process whose calls are switch points

  std::vector<MessageRecord> Log;   // every message sent or posted
  std::vector<ShowRecord> Shows;    // every ShowWindow, in order
  int PumpCount = 0;                // calls of ProcessMessages
  int BlockedSends = 0;             // unbounded sends to a hung window, which would never return
  int Snapshots = 0;                // module snapshots taken
  int FailingSnapshots = 0;         // the next this many module snapshots fail
  std::uint32_t PostedDelayMs = 0;  // virtual time each posted message takes to arrive
  // Posts are refused while this many messages wait (0: no bound), as a thread's queue
  // refuses them past 10,000 on Windows.
  std::size_t PostedQueueLimit = 0;
  // A bounded WM_COPYDATA that gave up before it was received is still delivered at the
  // receiver's next pump, as Windows keeps it queued; otherwise it is dropped, as Wine does.
  bool LateCopyData = false;
  std::size_t QueueLength() const { return queue_.size(); }
  bool Waiting(Hwnd window, std::uint32_t msg) const {
    for (const MessageRecord& m : queue_)
      if (m.window == window && m.msg == msg) return true;
    return false;
  }

  // Application Data, as SHGetFolderPathA gives it; none, as by default, is a system without
  // shfolder.dll. Folders made by CreateDirectoryA join it and the Windows folder as folders
  // a new profile file can be written in, unless they are refused.
  std::optional<std::string> AppDataFolder;
  bool RefuseFolders = false;
  const std::set<std::string>& MadeFolders() const { return madeFolders_; }

  // Desktop
  Hwnd FindWindowA(const char* className, const char* windowName) override;
  Hwnd FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                     const char* windowName) override;
  bool ShowWindow(Hwnd window, int command) override;
  bool ShowWindowAsync(Hwnd window, int command) override;
  bool IsWindowVisible(Hwnd window) override;
  bool IsWindow(Hwnd window) override { return Window(window) != nullptr; }
  std::uint32_t GetWindowStyle(Hwnd window) override {
    const SimWindow* w = Window(window);
    return w == nullptr ? 0 : w->style;
  }
  Hwnd GetOwner(Hwnd window) override {
    const SimWindow* w = Window(window);
    return w == nullptr ? 0 : w->owner;
  }
  bool SetForegroundWindow(Hwnd window) override {
    Foreground = window;
    return Window(window) != nullptr;
  }
  bool SetActiveWindow(Hwnd window) override { return Window(window) != nullptr; }
  Hwnd Foreground = 0;
  Hwnd GetForegroundWindow() override { return Foreground; }
  Hwnd GetParent(Hwnd window) override;
  bool RegisterHotKey(Hwnd window, int id, std::uint32_t modifiers,
                      std::uint32_t virtualKey) override;
  bool UnregisterHotKey(Hwnd window, int id) override;
  // The keys registered, by window and id; a key in HeldKeys is another program's.
  struct HotKey {
    Hwnd window;
    int id;
    std::uint32_t modifiers, virtualKey;
    bool operator==(const HotKey&) const = default;
  };
  std::vector<HotKey> HotKeys;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> HeldKeys;  // modifiers, key
  // A key pressed: WM_HOTKEY posted to the window that holds it; false when nobody does.
  bool PressKey(std::uint32_t modifiers, std::uint32_t virtualKey);
  // Fails every Shell_NotifyIconA(NIM_ADD) while set: a shell that refuses icons.
  bool RefuseIcons = false;
  Rect GetWindowRect(Hwnd window) override;
  Point GetCursorPos() override { return cursor_; }
  int GetSystemMetrics(int index) override;
  Rect GetWorkArea() override { return workArea_; }
  int AsyncShows = 0;  // ShowWindowAsync calls
  std::string GetClassNameA(Hwnd window, int maxCount) override;
  std::string GetWindowTextA(Hwnd window, int maxCount) override;
  std::uint32_t GetWindowThreadProcessId(Hwnd window) override;
  LResult SendMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) override;
  bool SendMessageTimeoutA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam,
                           std::uint32_t timeoutMs, LResult* result) override;
  bool PostMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam) override;
  void ProcessMessages() override;  // one pass over the messages waiting at the call
  void WaitForMessage(std::uint32_t timeoutMs) override;
  void ProcessMessagesInRange(std::uint32_t first, std::uint32_t last) override;
  std::optional<PostedMessage> TakePostedMessage(Hwnd window, std::uint32_t first,
                                                 std::uint32_t last) override;
  void WaitForPostedMessage(std::uint32_t timeoutMs) override;
  bool PostedMessageWaiting() override;
  std::uint32_t GetTickCount() override { return now_; }
  void AdvanceTime(std::uint32_t ms) { now_ += ms; }
  std::optional<std::string> GlobalGetAtomNameA(Atom atom, int size) override;
  void GlobalDeleteAtom(Atom atom) override;
  bool ToolhelpAvailable() override { return toolhelp_; }
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
  // Queued as a sent message, which no full queue of posted ones refuses; it does not wait.
  bool SendNotifyMessageA(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam);
  void WatchProcesses(Hwnd window, std::uint32_t message,
                      const std::vector<std::uint32_t>& processIds) override;
  // What the watcher is waiting on, and a post it could not make yet (a full queue), made
  // again as its thread would.
  const std::set<std::uint32_t>& WatchedProcesses() const { return watched_; }
  void RetryWatchPosts();
  // The same number for the same name, from 0xC000 up, as Windows numbers them.
  std::uint32_t RegisterWindowMessageA(const char* name) override {
    const auto found = registered_.find(name);
    if (found != registered_.end()) return found->second;
    const auto id = static_cast<std::uint32_t>(0xC000 + registered_.size());
    registered_.emplace(name, id);
    return id;
  }
  bool FileExists(const std::string& path) override { return profile_.FileText(path).has_value(); }
  std::vector<std::string> GetPrivateProfileSectionNamesA(const std::string& fileName) override {
    return profile_.SectionNames(fileName);
  }
  std::vector<std::string> GetPrivateProfileKeyNamesA(const std::string& section,
                                                      const std::string& fileName) override {
    return profile_.KeyNames(section, fileName);
  }
  std::string SHGetFolderPathA(int folder) override {
    return folder == kCsidlAppData ? AppDataFolder.value_or("") : "";
  }
  bool CreateDirectoryA(const std::string& path) override;
  bool MoveFileA(const std::string& from, const std::string& to) override;
  // Writes to files whose path holds this are refused after so many have landed (a disk that
  // fills up part way).
  std::string RefuseWritesTo;
  int WritesBeforeRefusal = 0;

 private:
  bool FolderExists(const std::string& path) const;
  std::map<std::string, std::uint32_t> registered_;
  std::set<std::string> madeFolders_;  // by lower-case path
  struct AtomEntry {
    std::string name;
    int references = 0;
  };
  struct Snapshot {
    std::vector<SimModule> modules;
    std::size_t next = 0;
  };
  bool ReadModule(Snapshot& snapshot, ModuleEntry& entry);
  // Waits out a stall of the window's process; false when the bound ran out first.
  bool WaitUntilAnswered(const SimWindow& w, std::uint32_t timeoutMs);
  LResult Deliver(Hwnd window, std::uint32_t msg, WParam wParam, LParam lParam);
  void Switch(const char* where);
  int foreignDepth_ = 0;  // handlers of other processes than HomeProcess running

  std::map<Hwnd, SimWindow> windows_;
  std::vector<Hwnd> order_;
  Hwnd nextWindow_ = 0x10010;
  std::deque<MessageRecord> queue_;
  struct LateCopy {
    Hwnd window;
    std::uint32_t tag;
    std::vector<std::uint8_t> data;
  };
  std::deque<LateCopy> lateCopies_;
  void DeliverLateCopies();
  std::size_t leftByRangedPump_ = 0;  // what the last ranged pump left queued
  std::map<Atom, AtomEntry> atoms_;
  std::map<std::string, Atom> atomByName_;  // by lower-case name
  Atom nextAtom_ = 0xC000;
  std::map<std::uint32_t, std::vector<SimModule>> processes_;
  std::map<std::uint32_t, std::uint32_t> stalled_;  // process -> tick it answers again
  Hwnd watchWindow_ = 0;
  std::uint32_t watchMessage_ = 0;
  std::set<std::uint32_t> watched_;
  std::vector<std::uint32_t> endedUnposted_;
  std::vector<std::uint32_t> unopened_;
  std::uint32_t nextProcess_ = 100;
  std::map<Handle, Snapshot> snapshots_;
  Handle nextSnapshot_ = 0x200;
  OsVersionInfo version_{5, 1, 2600, 2};
  bool toolhelp_ = true;
  bool mainModuleLookup_ = false;
  SimProfile profile_;
  std::uint32_t now_ = 1000;
  // Small icons of 16 x 15 pixels, dialog frames 3 wide and 2 high, sizing frames 4 wide and
  // 5 high, caption buttons of 18 x 20 (unequal, so that a width read for a height shows), a
  // 1024 x 768 screen with a 30-pixel taskbar at the bottom.
  std::map<int, int> metrics_{{kSmCxSmIcon, 16},  {kSmCySmIcon, 15}, {kSmCxDlgFrame, 3},
                              {kSmCyDlgFrame, 2}, {kSmCxFrame, 4},   {kSmCyFrame, 5},
                              {kSmCxSize, 18},    {kSmCySize, 20}};
  Rect workArea_{0, 0, 1024, 738};
  Point cursor_{0, 0};
};

}  // namespace cvl::sim
