#pragma once
// The classic taskbar: its window tree for a version code, and a tray toolbar with one button
// per icon that Shell_NotifyIconA adds, in the order the user sees them.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/SimDesktop.h"

namespace cvl::sim {

struct TrayButton {
  std::int32_t idCommand = 0;
  Hwnd owner = 0;
  std::uint32_t uID = 0;
  std::uint32_t uCallbackMessage = 0;
  Hicon hIcon = 0;
  std::string tip;
  bool hidden = false;
  bool programHidden = false;  // the program's NIS_HIDDEN, which hides the button
  std::uint32_t version = 0;   // NIM_SETVERSION's, since the icon was added
};

// The balloon the shell shows, at a button.
struct ShownBalloon {
  Hwnd owner = 0;
  std::uint32_t uID = 0;
  std::uint32_t uCallbackMessage = 0;
  std::string title;
  std::string text;
};

inline constexpr std::uint32_t kTbButtonCount = 0x418;
inline constexpr std::uint32_t kTbIsButtonHidden = 0x40C;

class SimTaskbar {
 public:
  // Builds the tree for the version code: SysPager under the notification area for XP and
  // later (90, 0), the toolbar straight under it for 2000 (80), no toolbar at all before.
  SimTaskbar(SimDesktop& desktop, int versionCode);
  ~SimTaskbar();
  SimTaskbar(const SimTaskbar&) = delete;
  SimTaskbar& operator=(const SimTaskbar&) = delete;

  Hwnd Taskbar() const { return taskbar_; }
  Hwnd NotifyArea() const { return notifyArea_; }
  Hwnd Clock() const { return clock_; }
  Hwnd Pager() const { return pager_; }
  // The window that holds the buttons and takes the toolbar messages.
  Hwnd Toolbar() const { return toolbar_; }
  std::uint32_t ProcessId() const { return processId_; }

  const std::vector<TrayButton>& Buttons() const { return buttons_; }
  std::optional<TrayButton> Button(Hwnd owner, std::uint32_t uID) const;

  // Told after the shell has changed a button: message is kNimAdd, kNimModify or kNimDelete.
  std::function<void(std::uint32_t message, Hwnd owner, std::uint32_t uID)> OnTrayChange;
  // The last change set the icon's hidden state to something new.
  bool LastChangeSetState() const { return lastSetState_; }
  // The flags of the last change, as the shell took them.
  std::uint32_t LastChangeFlags() const { return lastFlags_; }
  // Sees (and may change) a program's record before the shell takes it, as a subclass of the
  // taskbar sees the WM_COPYDATA first.
  std::function<void(std::uint32_t message, NotifyIconData& data)> BeforeChange;
  // Asked before the shell shows a button again for its program: true keeps it hidden.
  std::function<bool(std::int32_t idCommand)> KeepHidden;

  // The balloon shown, if any. As Windows 2000 and XP: one at a time, a new one replaces it
  // (NIN_BALLOONHIDE to the one replaced, then NIN_BALLOONSHOW), a balloon for a hidden
  // button is not shown, the icon's removal takes its balloon away (NIN_BALLOONHIDE), and the
  // messages go to the owner's callback with the icon's ID (SendNotifyMessage). A button
  // hidden takes its balloon away.
  const std::optional<ShownBalloon>& Balloon() const { return balloon_; }
  std::vector<ShownBalloon> BalloonsShown;  // every balloon shown, in order
  // The shown balloon's time ran out, or the user clicked it.
  void EndBalloon(bool clicked);

 private:
  bool NotifyIcon(std::uint32_t message, const NotifyIconData& data);
  LResult ToolbarProc(std::uint32_t msg, WParam wParam, LParam lParam);
  int IndexOf(Hwnd owner, std::uint32_t uID) const;
  void SetBalloon(const TrayButton& b, const NotifyIconData& data);
  void TellBalloon(std::uint32_t message);
  void SetProgramHidden(TrayButton& b, const NotifyIconData& data);
  std::optional<ShownBalloon> balloon_;
  bool lastSetState_ = false;
  std::uint32_t lastFlags_ = 0;

  SimDesktop& desktop_;
  std::uint32_t processId_ = 0;
  Hwnd taskbar_ = 0;
  Hwnd notifyArea_ = 0;
  Hwnd clock_ = 0;
  Hwnd pager_ = 0;
  Hwnd toolbar_ = 0;
  std::vector<TrayButton> buttons_;
  std::int32_t nextCommand_ = 100;
};

}  // namespace cvl::sim
