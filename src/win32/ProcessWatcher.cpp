#include "win32/ProcessWatcher.h"

#include <algorithm>
#include <utility>

namespace cvl::win32 {

namespace {

// One wait takes at most 64 handles, the wake event among them. Past this many owner
// processes, the rest are found by the next reading of the tray instead.
constexpr std::size_t kMostWatched = MAXIMUM_WAIT_OBJECTS - 1;
// A post refused by a full queue is made again, for a while.
constexpr int kPostTries = 40;
constexpr DWORD kPostRetryMs = 250;
constexpr DWORD kStopWaitMs = 2000;

}  // namespace

ProcessWatcher::ProcessWatcher() : wake_(::CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
  ::InitializeCriticalSection(&lock_);
}

ProcessWatcher::~ProcessWatcher() {
  if (thread_) {
    ::EnterCriticalSection(&lock_);
    stop_ = true;
    ::LeaveCriticalSection(&lock_);
    ::SetEvent(wake_.Get());
    // Bounded, though the thread looks at the stop between every two tries of a post: a
    // thread that does not end must not keep the program from ending.
    if (::WaitForSingleObject(thread_.Get(), kStopWaitMs) != WAIT_OBJECT_0) return;
  }
  watched_.clear();
  ::DeleteCriticalSection(&lock_);
}

void ProcessWatcher::Watch(HWND window, UINT message,
                           const std::vector<std::uint32_t>& processIds) {
  if (!wake_) return;
  ::EnterCriticalSection(&lock_);
  window_ = window;
  message_ = message;
  wanted_ = processIds;
  ::LeaveCriticalSection(&lock_);
  if (!thread_ && !processIds.empty()) {
    DWORD id = 0;
    thread_.Reset(::CreateThread(nullptr, 0, &ProcessWatcher::Run, this, 0, &id));
  }
  ::SetEvent(wake_.Get());
}

DWORD WINAPI ProcessWatcher::Run(void* self) {
  static_cast<ProcessWatcher*>(self)->Loop();
  return 0;
}

void ProcessWatcher::Reopen() {
  std::vector<std::uint32_t> wanted;
  ::EnterCriticalSection(&lock_);
  wanted = wanted_;
  ::LeaveCriticalSection(&lock_);
  const auto isWanted = [&](std::uint32_t id) {
    return std::find(wanted.begin(), wanted.end(), id) != wanted.end();
  };
  for (auto it = watched_.begin(); it != watched_.end();) {
    if (isWanted(it->id)) {
      ++it;
      continue;
    }
    it = watched_.erase(it);
  }
  std::erase_if(ended_, [&](std::uint32_t id) { return !isWanted(id); });
  for (const std::uint32_t id : wanted) {
    if (watched_.size() >= kMostWatched) break;
    const bool known = std::any_of(watched_.begin(), watched_.end(),
                                   [&](const Watched& w) { return w.id == id; }) ||
                       std::find(ended_.begin(), ended_.end(), id) != ended_.end();
    if (known) continue;
    // A process that has ended already cannot be opened: the reading that listed it finds
    // its windows gone anyway.
    KernelHandleOwner process(::OpenProcess(SYNCHRONIZE, FALSE, id));
    if (process) {
      watched_.push_back({id, std::move(process)});
    } else {
      // Ended before the wait began, or not ours to wait on: the tray is read again.
      ended_.push_back(id);
      Tell(id, 1);
    }
  }
}

void ProcessWatcher::Loop() {
  for (;;) {
    ::EnterCriticalSection(&lock_);
    const bool stop = stop_;
    ::LeaveCriticalSection(&lock_);
    if (stop) return;
    Reopen();
    HANDLE handles[MAXIMUM_WAIT_OBJECTS];
    handles[0] = wake_.Get();
    for (std::size_t i = 0; i < watched_.size(); ++i) handles[i + 1] = watched_[i].process.Get();
    const DWORD count = static_cast<DWORD>(watched_.size() + 1);
    const DWORD r = ::WaitForMultipleObjects(count, handles, FALSE, INFINITE);
    if (r == WAIT_FAILED) {
      // A handle no longer good: start again from the set asked for, a moment later.
      watched_.clear();
      ended_.clear();
      ::Sleep(kPostRetryMs);
      continue;
    }
    if (r <= WAIT_OBJECT_0 || r >= WAIT_OBJECT_0 + count) continue;  // woken, or abandoned
    const std::size_t at = r - WAIT_OBJECT_0 - 1;
    const std::uint32_t endedId = watched_[at].id;
    watched_.erase(watched_.begin() + static_cast<std::ptrdiff_t>(at));
    ended_.push_back(endedId);
    Tell(endedId, 0);
  }
}

void ProcessWatcher::Tell(std::uint32_t id, LPARAM unopened) {
  for (int tries = 0; tries < kPostTries; ++tries) {
    ::EnterCriticalSection(&lock_);
    const HWND window = window_;
    const UINT message = message_;
    const bool stop = stop_;
    ::LeaveCriticalSection(&lock_);
    if (stop || ::PostMessageA(window, message, id, unopened)) return;
    if (!::IsWindow(window)) return;
    ::Sleep(kPostRetryMs);
  }
}

}  // namespace cvl::win32
