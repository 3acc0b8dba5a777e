#pragma once
#include "Snarehook.h"
#include "platform/HookLibrary.h"

namespace cvl::win32 {

// Snarehook.dll, imported at load time: without it the program does not start.
class Win32HookLibrary final : public HookLibrary {
 public:
  void SetTrayHook() override { ::SetTrayHook(); }
  void DeleteTrayHook() override { ::DeleteTrayHook(); }
  void ReportsTaken() override { ::ReportsTaken(); }
  void NoteHiddenWindow(Hwnd window, bool hidden) override {
    ::NoteHiddenWindow(reinterpret_cast<HWND>(static_cast<UINT_PTR>(window)),
                       hidden ? TRUE : FALSE);
  }
  void SetPanelShown(bool shown) override { ::SetPanelShown(shown ? TRUE : FALSE); }
  std::uint32_t UntoldChanges() override { return ::UntoldChanges(); }
  bool ClaimAnswer(std::uint32_t number) override { return ::ClaimAnswer(number) != FALSE; }
  std::optional<BalloonRecord> TakeBalloon(std::uint32_t number) override {
    BalloonRecord record;
    if (!::TakeBalloon(number, &record)) return std::nullopt;
    return record;
  }
  void SetHiddenProcesses(const std::vector<std::uint32_t>& processes) override {
    std::vector<DWORD> ids(processes.begin(), processes.end());
    ::SetHiddenProcesses(ids.data(), static_cast<int>(ids.size()));
  }
};

}  // namespace cvl::win32
