#pragma once
// What Corvalet is told: the answers to its enumerations and queries, and a report after each
// change of the tray.
#include <windows.h>

#include <optional>

#include "shell/NotifyCopyData.h"

namespace snarehook {

// Corvalet's requests to the toolbar while serving: true when msg was one (result).
bool AnswerRequest(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
// After the shell took an owner's Shell_NotifyIcon message: Corvalet hears of the change.
void Report(const std::optional<cvl::NotifyCopyData>& n, bool stateChanged);

}  // namespace snarehook
