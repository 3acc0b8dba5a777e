#include "sim/SimCorvalet.h"

#include "app/ProcessEntry.h"
#include "shell/HookProtocol.h"

namespace cvl::sim {

SimCorvalet::SimCorvalet(SimDesktop& desktop, HookLibrary& hook, PlacementViews& views,
                         std::string exePath, THint* panel)
    : desktop_(desktop),
      hook_(hook),
      views_(views),
      processId_(desktop.CreateProcess({{0x400000, "Corvalet.exe", std::move(exePath)}})),
      buttons_(desktop, processId_),
      panel_(panel) {}

SimCorvalet::~SimCorvalet() {
  if (form_) Exit();
}

bool SimCorvalet::Start() {
  if (AnotherInstanceRunning(desktop_)) {
    ++Warnings;
    return false;
  }
  form_ = std::make_unique<TMainForm>(desktop_, hook_, host_, views_, buttons_);
  if (panel_ != nullptr) form_->AttachPanel(*panel_);
  host_.window = desktop_.CreateWindow(kMainFormClass, kMainFormCaption, 0, processId_,
                                       [this](std::uint32_t msg, WParam w, LParam l) {
                                         return form_->WndProc(msg, w, l).value_or(0);
                                       });
  form_->FormCreate();
  form_->FormShow();
  return true;
}

void SimCorvalet::Exit() {
  if (!form_) return;
  form_->FormDestroy();
  desktop_.DestroyWindow(host_.window);
  form_.reset();
}

void SimCorvalet::Kill() {
  desktop_.EndProcess(processId_);
  form_.reset();
}

}  // namespace cvl::sim
