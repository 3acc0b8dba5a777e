#pragma once
// A program that owns tray icons: a process with its module list and one window that logs the
// messages it receives.
#include <functional>
#include <string>
#include <vector>

#include "sim/SimDesktop.h"

namespace cvl::sim {

inline constexpr std::uint32_t kOwnerCallback = kWmApp + 100;

class SimProgram {
 public:
  // dllFirst puts a DLL ahead of the executable in the module list, as some loaders do.
  SimProgram(SimDesktop& desktop, std::string exePath, std::string className,
             bool dllFirst = false);

  Hwnd Window() const { return window_; }
  std::uint32_t ProcessId() const { return processId_; }
  const std::string& ExePath() const { return exePath_; }

  bool AddIcon(std::uint32_t uID, const std::string& tip, Hicon icon = 0x5000);
  bool ModifyIcon(std::uint32_t uID, const std::string& tip, Hicon icon = 0x5000);
  bool DeleteIcon(std::uint32_t uID);
  // NIF_INFO: a balloon at the icon; an empty text takes it away.
  bool ShowBalloon(std::uint32_t uID, const std::string& title, const std::string& text);
  // NIM_SETVERSION.
  bool SetVersion(std::uint32_t uID, std::uint32_t version);
  // NIF_STATE with NIS_HIDDEN.
  bool SetHidden(std::uint32_t uID, bool hidden);
  // Ends the process, icons and all, as a crash would, and starts it again with a new window.
  void Restart();
  void End();

  std::vector<MessageRecord> Received;
  // What the program does when a message comes, while the sender waits for it.
  std::function<void(std::uint32_t msg, WParam wParam, LParam lParam)> OnMessage;

 private:
  void Start();
  bool Notify(std::uint32_t message, std::uint32_t uID, const std::string& tip, Hicon icon);

  SimDesktop& desktop_;
  std::string exePath_;
  std::string className_;
  bool dllFirst_;
  std::uint32_t processId_ = 0;
  Hwnd window_ = 0;
};

}  // namespace cvl::sim
