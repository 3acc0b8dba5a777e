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
  desktop_.Window(host_.window)->copyData = [this](std::uint32_t tag,
                                                   const std::vector<std::uint8_t>& data) {
    const auto batch =
        tag == kAnswerBatchTag ? ParseAnswerBatch(data.data(), data.size()) : std::nullopt;
    if (!batch || !form_->ClaimAnswerBatch(*batch)) return LResult{0};
    form_->TakeAnswerBatch(*batch);
    return LResult{1};
  };
  form_->FormCreate();
  // The minimizer's form comes last; its hidden window owns its icons and takes their callbacks.
  minForm_ = std::make_unique<TMinForm>(desktop_, hook_, form_->Options(), form_->Registry(),
                                        captionIcons_);
  minWindow_ = desktop_.CreateWindow("TMinForm", "", 0, processId_,
                                     [this](std::uint32_t msg, WParam w, LParam l) -> LResult {
                                       if (minForm_) minForm_->WndProc(msg, w, l);
                                       return 0;
                                     });
  minForm_->SetWindow(minWindow_);
  minForm_->FormCreate();
  form_->MinButtonRightClick = [this](Hwnd window) { minForm_->MinButtonRightClick(window); };
  form_->KeyMinimize = [this](Hwnd window) { minForm_->KeyMinimize(window); };
  form_->KeyRestore = [this] { minForm_->RestoreLast(); };
  form_->OnShellRestarted = [this](bool sameTaskbar) { minForm_->ShellRestarted(sameTaskbar); };
  // The menu as a real one shows it: a loop that lets messages in until the user chooses.
  form_->OpenMenu = [this](const TrayMenu& shown, Point at) -> std::optional<int> {
    ++MenusOpened;
    MenuAt = at;
    if (InsideMenu) InsideMenu(shown);
    return MenuChoice;
  };
  form_->FormShow();
  return true;
}

void SimCorvalet::Exit() {
  if (!form_) return;
  // The forms go in reverse order: the minimizer first brings back every hidden window.
  if (minForm_) minForm_->FormDestroy();
  desktop_.DestroyWindow(minWindow_);
  form_->FormDestroy();
  desktop_.DestroyWindow(host_.window);
  minForm_.reset();
  form_.reset();
}

void SimCorvalet::Kill() {
  desktop_.EndProcess(processId_);
  minForm_.reset();
  form_.reset();
}

}  // namespace cvl::sim
