#pragma once
// The benchmark build's counters and stamps (never shipped): the benchmark learns when a button
// was hidden without asking the shell's thread while it serves Corvalet, and what Corvalet made
// the shell's thread do: hook procedure calls, the messages that came into it by kind, and the
// library's own time there.
#include <windows.h>

namespace snarehook {

// The statistics message: true when msg was it (result).
bool StatsMessage(UINT msg, WPARAM wp, LRESULT& result);
// Stamps the armed hide of the tray's last button.
void StampHide(WPARAM command, LPARAM lp);

// A hook procedure of the library ran on the shell's thread.
void CountHookCall();
// A subclass procedure takes a message (Enter) and is done with it (Leave); only the outermost
// message, the one that came into the thread, is counted and timed.
void BenchEnter(HWND w, UINT msg, WPARAM wp, LPARAM lp);
void BenchLeave();
// The shell's own procedure runs: true when that time is the shell's handling of the message
// that came in, not work the library asked of it (then BenchShellEnd with the start).
bool BenchShellBegin(HWND w, UINT msg, WPARAM wp, LPARAM lp, LARGE_INTEGER& start);
void BenchShellEnd(const LARGE_INTEGER& start);

// The parts of the library's work on the shell's thread that the benchmark build times
// (statistics 20 and on).
enum BenchPartId {
  kPartForget,
  kPartTrack,
  kPartStates,
  kPartReport,
  kPartAnswers,
  kPartPixels,
  kPartHide
};
constexpr int kBenchParts = 7;

// How long an added button is shown before it is hidden: the shell adds a button (Added), and
// it is hidden by Corvalet or ahead of it (Hidden).
void BenchAdded(int command);
void BenchHidden(int command);

// Times a part while it lives.
class BenchPart {
 public:
  explicit BenchPart(int part);
  ~BenchPart();

 private:
  int part_;
  LONGLONG start_;
};

}  // namespace snarehook

#ifdef SNAREHOOK_BENCH
#define SNAREHOOK_BENCH_PART(id) const snarehook::BenchPart benchPart(snarehook::id)
#else
#define SNAREHOOK_BENCH_PART(id) static_cast<void>(0)
#endif
