#pragma once
// The benchmark build's counters and stamps (never shipped): the benchmark learns when a button
// was hidden without asking the shell's thread while it serves Corvalet.
#include <windows.h>

namespace snarehook {

// The statistics message: true when msg was it (result).
bool StatsMessage(UINT msg, WPARAM wp, LRESULT& result);
// Stamps the armed hide of the tray's last button.
void StampHide(WPARAM command, LPARAM lp);

}  // namespace snarehook
