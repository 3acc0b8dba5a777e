#include "win32/PanelForm.h"

#include <commctrl.h>

#include "win32/Handles.h"
#include "win32/MainLoop.h"
#include "win32/OleAccLibrary.h"

namespace cvl::win32 {

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Ms = 50;
// Panel2's raised bevel (1) and border (3): Panel1 and its cells start here.
constexpr int kFrame = 4;

bool FromMainLoop(HWND window) {
  const MSG* m = g_mainLoopMessage;
  return m != nullptr && m->hwnd == window && m->message == WM_TIMER && m->wParam == kTimer1;
}

}  // namespace

PanelForm::~PanelForm() {
  if (accessible_ != nullptr) {
    accessible_->Detach();
    accessible_->Release();
  }
}

std::string PanelForm::CellName(int position) const {
  if (position < 0 || position >= CellCount()) return {};
  return cells_[static_cast<std::size_t>(position)].Hint;
}

RECT PanelForm::CellScreenRect(int position) const {
  if (position < 0 || position >= CellCount()) return {};
  RECT r = CellRect(cells_[static_cast<std::size_t>(position)]);
  ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

LRESULT PanelForm::AnswerGetObject(WPARAM wParam, LPARAM lParam) {
  OleAccLibrary& ole = OleAccLibrary::Get();
  if (static_cast<LONG>(lParam) != static_cast<LONG>(OBJID_CLIENT) || !ole.Available())
    return ::DefWindowProcA(window_, WM_GETOBJECT, wParam, lParam);
  if (accessible_ == nullptr) accessible_ = new PanelAccessible(*this);
  return ole.LresultFromObject(__uuidof(IAccessible), wParam, accessible_);
}

void PanelForm::TellFocus() {
  OleAccLibrary& ole = OleAccLibrary::Get();
  if (ole.NotifyWinEvent == nullptr || window_ == nullptr || focus_ < 0) return;
  ole.NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, focus_ + 1);
  ole.NotifyWinEvent(EVENT_OBJECT_SELECTION, window_, OBJID_CLIENT, focus_ + 1);
}

bool PanelForm::Create() {
  // Double-clicks must arrive as such for the cells.
  if (!CreateWindowOf(instance_, kPanelClass, nullptr, WS_EX_TOPMOST | WS_EX_TOOLWINDOW,
                      kPanelCaption, WS_POPUP, 0, 0, 0, 0, nullptr, CS_DBLCLKS))
    return false;
  tooltip_ = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                               nullptr, instance_, nullptr);
  return true;
}

RECT PanelForm::CellRect(const PanelCell& cell) const {
  return {kFrame + cell.Left, kFrame + cell.Top, kFrame + cell.Left + cell.Width,
          kFrame + cell.Top + cell.Height};
}

int PanelForm::CellAt(int x, int y) const {
  for (const PanelCell& cell : cells_) {
    const RECT r = CellRect(cell);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return cell.Tag;
  }
  return -1;
}

void PanelForm::UpdateTooltips() {
  if (tooltip_ == nullptr) return;
  for (int i = 0; i < tools_; ++i) {
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;  // comctl32 before version 6 refuses the larger size
    ti.hwnd = window_;
    ti.uId = static_cast<UINT_PTR>(i);
    ::SendMessageA(tooltip_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
  tools_ = 0;
  for (const PanelCell& cell : cells_) {
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V1_SIZE;
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = window_;
    ti.uId = static_cast<UINT_PTR>(tools_++);
    ti.rect = CellRect(cell);
    ti.lpszText = const_cast<char*>(cell.Hint.c_str());
    ::SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
  }
}

void PanelForm::ShowCells(const std::vector<PanelCell>& cells) {
  cells_ = cells;
  UpdateTooltips();
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, TRUE);
}

void PanelForm::ShowCell(int position, const PanelCell& cell) {
  if (position < 0 || position >= static_cast<int>(cells_.size())) return;
  cells_[static_cast<std::size_t>(position)] = cell;
  UpdateTooltips();
  const RECT r = CellRect(cell);
  ::InvalidateRect(window_, &r, TRUE);
  ::UpdateWindow(window_);  // at once
}

void PanelForm::SetBounds(int left, int top, int width, int height) {
  ::SetWindowPos(window_, HWND_TOPMOST, left, top, width, height, SWP_NOACTIVATE);
}

void PanelForm::SetVisible(bool visible) {
  ::ShowWindow(window_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void PanelForm::Activate() {
  ::SetForegroundWindow(window_);
  ::SetActiveWindow(window_);
}

void PanelForm::SetTimer1(bool enabled) {
  if (enabled)
    ::SetTimer(window_, kTimer1, kTimer1Ms, nullptr);
  else
    ::KillTimer(window_, kTimer1);
}

void PanelForm::UseInactiveCaptionColour() {
  colour_ = COLOR_INACTIVECAPTION;
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, TRUE);
}

void PanelForm::ShowFocus(int position) {
  const bool moved = position != focus_;
  focus_ = position;
  if (window_ != nullptr) ::InvalidateRect(window_, nullptr, TRUE);
  if (moved) TellFocus();
}

void PanelForm::Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(window_, &ps);
  RECT client;
  ::GetClientRect(window_, &client);
  ::FillRect(dc, &client, ::GetSysColorBrush(colour_));
  // Panel2: raised outer bevel; Panel1 inside its border: lowered outer bevel.
  RECT outer = client;
  ::DrawEdge(dc, &outer, BDR_RAISEDOUTER, BF_RECT);
  RECT inner = {client.left + kFrame - 1, client.top + kFrame - 1, client.right - kFrame + 1,
                client.bottom - kFrame + 1};
  ::DrawEdge(dc, &inner, BDR_SUNKENOUTER, BF_RECT);
  for (const PanelCell& cell : cells_) {
    const RECT r = CellRect(cell);
    ::DrawIconEx(dc, r.left, r.top, copies_.Resolve(cell.Picture), cell.Width, cell.Height, 0,
                 nullptr, DI_NORMAL);
  }
  if (focus_ >= 0 && focus_ < static_cast<int>(cells_.size())) {
    // In the gap around the cell, in the selection's colour: a dotted focus rectangle (an XOR)
    // all but vanishes on a mid-grey face.
    RECT mark = CellRect(cells_[static_cast<std::size_t>(focus_)]);
    ::InflateRect(&mark, 2, 2);
    ::FrameRect(dc, &mark, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    ::InflateRect(&mark, -1, -1);
    ::FrameRect(dc, &mark, ::GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  ::EndPaint(window_, &ps);
}

LRESULT PanelForm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_GETOBJECT:
      return AnswerGetObject(wParam, lParam);
    case WM_SETFOCUS:
      TellFocus();  // the cell that has the mark gets the focus with the window
      return 0;
    case WM_TIMER:
      // The tick pumps only from the main loop: inside a menu or a message box (ours or an
      // owner's), the pump would take the input that loop waits for.
      if (wParam == kTimer1 && hint_ != nullptr && FromMainLoop(window_)) hint_->Timer1Timer();
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      const int tag = CellAt(x, y);
      if (tag >= 0 && hint_ != nullptr) {
        ::SetCapture(window_);
        hint_->CellLeftPress(tag, msg == WM_LBUTTONDBLCLK);
      }
      return 0;
    }
    case WM_LBUTTONUP:
      // Our own release of the capture is no loss of it: the release still goes to the cell.
      releasing_ = true;
      if (::GetCapture() == window_) ::ReleaseCapture();
      releasing_ = false;
      if (hint_ != nullptr) hint_->CellLeftRelease();
      return 0;
    case WM_CAPTURECHANGED:
      // An owner took the mouse during the press: a later release here is not that cell's.
      if (!releasing_ && hint_ != nullptr) hint_->CaptureLost();
      return 0;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK: {
      const int tag = CellAt(x, y);
      if (tag >= 0 && hint_ != nullptr) hint_->CellMouseDown(tag, MouseButton::Right);
      return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const bool shift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
      const auto key = PanelKeyOf(static_cast<std::uint32_t>(wParam), shift);
      if (!key || hint_ == nullptr) break;
      hint_->KeyDown(*key);
      return 0;
    }
    case WM_CONTEXTMENU:
      return 0;  // its keys were taken as they went down
    case WM_CLOSE:
      // Alt+F4 closes the panel as Escape does; the window itself lives as long as Corvalet.
      if (hint_ != nullptr) hint_->KeyDown(PanelKey::Escape);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE && hint_ != nullptr) hint_->Deactivated();
      break;
    case WM_RBUTTONUP: {
      const int tag = CellAt(x, y);
      if (tag >= 0 && hint_ != nullptr) hint_->CellMouseUp(tag, MouseButton::Right);
      return 0;
    }
    default:
      break;
  }
  return Window::HandleMessage(msg, wParam, lParam);
}

}  // namespace cvl::win32
