#include "win32/HtmlHelpViewer.h"

#include <htmlhelp.h>

namespace cvl::win32 {

bool HtmlHelpViewer::Load() {
  if (htmlHelp_ != nullptr) return true;
  // No "file is missing" box from the system where the library or one it needs is absent.
  const UINT mode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  LibraryOwner library(::LoadLibraryA("hhctrl.ocx"));
  ::SetErrorMode(mode);
  if (!library) return false;
  const auto proc = reinterpret_cast<HtmlHelpProc>(
      reinterpret_cast<void*>(::GetProcAddress(library.Get(), "HtmlHelpA")));
  if (proc == nullptr) return false;
  library_ = std::move(library);
  htmlHelp_ = proc;
  // The first command HTML Help is given: its windows then live on this thread, and close
  // before the library is let go.
  htmlHelp_(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&cookie_));
  return true;
}

bool HtmlHelpViewer::Show(HWND owner, const std::string& topic) {
  if (!Load()) return false;
  return htmlHelp_(owner, topic.c_str(), HH_DISPLAY_TOPIC, 0) != nullptr;
}

bool HtmlHelpViewer::PreTranslate(MSG& m) {
  return htmlHelp_ != nullptr && cookie_ != 0 &&
         htmlHelp_(nullptr, nullptr, HH_PRETRANSLATEMESSAGE, reinterpret_cast<DWORD_PTR>(&m)) !=
             nullptr;
}

void HtmlHelpViewer::Close() {
  if (htmlHelp_ == nullptr) return;
  htmlHelp_(nullptr, nullptr, HH_CLOSE_ALL, 0);
  if (cookie_ != 0) {
    htmlHelp_(nullptr, nullptr, HH_UNINITIALIZE, cookie_);
  } else {
    // Its own thread may still be closing the windows: the library stays until the process
    // ends, rather than being unmapped under that thread.
    library_.Detach();
  }
  htmlHelp_ = nullptr;
  cookie_ = 0;
  library_.Reset();
}

}  // namespace cvl::win32
