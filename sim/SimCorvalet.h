#pragma once
// Corvalet's process on the simulated desktop: the main form's window, which hands its
// messages to the core's main form, and a host that records what the form asks of it.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/FormHost.h"
#include "app/TMainForm.h"
#include "minimizer/TMinForm.h"
#include "sim/SimButtonWindows.h"
#include "sim/SimCaptionIcons.h"
#include "sim/SimDesktop.h"

namespace cvl::sim {

class SimFormHost : public FormHost {
 public:
  Hwnd window = 0;
  bool buttonHidden = false;
  int left = 0, top = 0;
  std::vector<std::string> errors;

  Hwnd Window() override { return window; }
  std::string ExeDirectory() override { return "C:\\Program Files\\Corvalet\\"; }
  Hicon ApplicationIcon() override { return 0x7001; }
  Hicon DisabledIcon() override { return 0x7002; }
  void HideApplicationButton() override { buttonHidden = true; }
  void MoveForm(int l, int t) override {
    left = l;
    top = t;
  }
  void ShowError(const std::string& message) override { errors.push_back(message); }
  void ShowOptions() override { ++optionsShown; }
  void HideOptions() override { ++optionsHidden; }
  int optionsHidden = 0;
  void ShowAbout(const std::string& versionLabel) override {
    ++aboutShown;
    aboutVersion = versionLabel;
    if (insideModal) insideModal();
  }
  void BringModalToFront() override { ++broughtToFront; }
  // Runs inside the modal boxes' loops, as what arrives while they are open.
  std::function<void()> insideModal;
  int broughtToFront = 0;
  bool WinHelp(const std::string& file, std::uint32_t command, const std::string& data) override {
    helpCalls.push_back(file + "|" + std::to_string(command) + "|" + data);
    return winHelpWorks;
  }
  bool HtmlHelp(const std::string& topic) override {
    htmlHelpCalls.push_back(topic);
    return htmlHelpWorks;
  }
  void OpenDocument(const std::string& path) override { documents.push_back(path); }
  std::vector<std::string> htmlHelpCalls;
  bool htmlHelpWorks = true;  // false: HTML Help is not installed
  std::string aboutVersion;
  std::vector<std::string> helpCalls;
  std::vector<std::string> documents;
  bool winHelpWorks = true;
  void Terminate() override { terminated = true; }
  std::optional<std::string> OpenLanguageFile(const std::string& initialDirectory) override {
    languageDialogDirectory = initialDirectory;
    if (insideModal) insideModal();
    return languageChoice;
  }
  std::optional<std::string> languageChoice;  // what the user picks in the open dialog
  std::string languageDialogDirectory;
  int optionsShown = 0, aboutShown = 0, helpShown = 0;
  bool terminated = false;
};

class SimCorvalet {
 public:
  // With a panel, it is the real one and gets the lists and the menu.
  SimCorvalet(SimDesktop& desktop, HookLibrary& hook, PlacementViews& views,
              std::string exePath = "C:\\Program Files\\Corvalet\\Corvalet.exe",
              THint* panel = nullptr);
  ~SimCorvalet();

  // Process entry: false, and nothing created, when another instance runs.
  bool Start();
  // The orderly shutdown.
  void Exit();
  // The end without shutdown: the window and process vanish, nothing is handed back.
  void Kill();

  TMainForm& Form() { return *form_; }
  TrayRegistry& Registry() { return form_->Registry(); }
  SimFormHost& Host() { return host_; }
  SimButtonWindows& Buttons() { return buttons_; }
  TMinForm& MinForm() { return *minForm_; }
  SimCaptionIcons& CaptionPictures() { return captionIcons_; }
  Hwnd MinWindow() const { return minWindow_; }
  std::uint32_t ProcessId() const { return processId_; }
  int Warnings = 0;
  // The simulated menu: what runs inside its loop, and the position the user chooses.
  std::function<void(const TrayMenu& shown)> InsideMenu;
  std::optional<int> MenuChoice;
  int MenusOpened = 0;
  Point MenuAt{-1, -1};

 private:
  SimDesktop& desktop_;
  HookLibrary& hook_;
  PlacementViews& views_;
  SimFormHost host_;
  std::unique_ptr<TMainForm> form_;
  std::uint32_t processId_ = 0;
  SimButtonWindows buttons_;
  THint* panel_;
  SimCaptionIcons captionIcons_;
  std::unique_ptr<TMinForm> minForm_;
  Hwnd minWindow_ = 0;
};

}  // namespace cvl::sim
