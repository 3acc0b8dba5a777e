#pragma once
// HTML Help, loaded at the first help it shows and never linked: hhctrl.ocx is missing on
// Windows 95 and NT 4 without Internet Explorer 4, where Corvalet must still start.
#include <windows.h>

#include <string>

#include "win32/HandleOwner.h"

namespace cvl::win32 {

class HtmlHelpViewer {
 public:
  HtmlHelpViewer() = default;
  ~HtmlHelpViewer() { Close(); }
  HtmlHelpViewer(const HtmlHelpViewer&) = delete;
  HtmlHelpViewer& operator=(const HtmlHelpViewer&) = delete;

  // The help window at a topic, "FILE.chm::/PAGE>WINDOW", owned by owner; false when HTML
  // Help is not installed or showed no window.
  bool Show(HWND owner, const std::string& topic);
  // The help window's own keys (Tab, its accelerators), from the message loop: it runs on
  // Corvalet's thread. True when help used the message.
  bool PreTranslate(MSG& m);
  // Every help window closed, then the library let go. Run before the main window goes.
  void Close();

 private:
  using HtmlHelpProc = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
  bool Load();
  LibraryOwner library_;
  HtmlHelpProc htmlHelp_ = nullptr;
  // From HH_INITIALIZE: the help windows run on the caller's thread. Zero where the library
  // did not take the command and runs them on a thread of its own.
  DWORD_PTR cookie_ = 0;
};

}  // namespace cvl::win32
