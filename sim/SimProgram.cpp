#include "sim/SimProgram.h"

namespace cvl::sim {

SimProgram::SimProgram(SimDesktop& desktop, std::string exePath, std::string className,
                       bool dllFirst)
    : desktop_(desktop),
      exePath_(std::move(exePath)),
      className_(std::move(className)),
      dllFirst_(dllFirst) {
  Start();
}

void SimProgram::Start() {
  const auto slash = exePath_.find_last_of('\\');
  const std::string name = slash == std::string::npos ? exePath_ : exePath_.substr(slash + 1);
  std::vector<SimModule> modules{{0x400000, name, exePath_},
                                 {0x7c900000, "ntdll.dll", "C:\\WINDOWS\\system32\\ntdll.dll"}};
  if (dllFirst_) std::swap(modules[0], modules[1]);
  processId_ = desktop_.CreateProcess(std::move(modules));
  window_ = desktop_.CreateWindow(className_, "", 0, processId_,
                                  [this](std::uint32_t msg, WParam w, LParam l) {
                                    Received.push_back({MessageRecord::Sent, window_, msg, w, l});
                                    if (OnMessage) OnMessage(msg, w, l);
                                    return 0;
                                  });
}

bool SimProgram::Notify(std::uint32_t message, std::uint32_t uID, const std::string& tip,
                        Hicon icon) {
  NotifyIconData data;
  data.hWnd = window_;
  data.uID = uID;
  data.uFlags = kNifMessage | kNifIcon | kNifTip;
  data.uCallbackMessage = kOwnerCallback;
  data.hIcon = icon;
  data.szTip = tip;
  return desktop_.Shell_NotifyIconA(message, data);
}

bool SimProgram::AddIcon(std::uint32_t uID, const std::string& tip, Hicon icon) {
  return Notify(kNimAdd, uID, tip, icon);
}

bool SimProgram::SetVersion(std::uint32_t uID, std::uint32_t version) {
  NotifyIconData data;
  data.hWnd = window_;
  data.uID = uID;
  data.uTimeout = version;
  return desktop_.Shell_NotifyIconA(kNimSetVersion, data);
}

bool SimProgram::ModifyIcon(std::uint32_t uID, const std::string& tip, Hicon icon) {
  return Notify(kNimModify, uID, tip, icon);
}

bool SimProgram::DeleteIcon(std::uint32_t uID) {
  return Notify(kNimDelete, uID, "", 0);
}

bool SimProgram::ShowBalloon(std::uint32_t uID, const std::string& title, const std::string& text) {
  NotifyIconData data;
  data.hWnd = window_;
  data.uID = uID;
  data.uFlags = kNifInfo;
  data.szInfoTitle = title;
  data.szInfo = text;
  data.uTimeout = 10000;
  data.dwInfoFlags = 1;
  return desktop_.Shell_NotifyIconA(kNimModify, data);
}

bool SimProgram::SetHidden(std::uint32_t uID, bool hidden) {
  NotifyIconData data;
  data.hWnd = window_;
  data.uID = uID;
  data.uFlags = kNifState;
  data.dwState = hidden ? kNisHidden : 0;
  data.dwStateMask = kNisHidden;
  return desktop_.Shell_NotifyIconA(kNimModify, data);
}

void SimProgram::End() {
  desktop_.EndProcess(processId_);
  window_ = 0;
}

void SimProgram::Restart() {
  End();
  Start();
}

}  // namespace cvl::sim
