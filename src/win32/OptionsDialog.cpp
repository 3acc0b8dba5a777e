#include "win32/OptionsDialog.h"

#include <commctrl.h>

#include "minimizer/HotKey.h"
#include "resources/OptionsDialogIds.h"
#include "win32/DialogArt.h"
#include "win32/Fonts.h"

namespace cvl::win32 {

namespace {

// The parts whose places are given in pixels at 96 DPI, whatever the dialog font's size; they
// grow with the screen's resolution (ScreenPixels), as the pages' dialog units do.
constexpr int kBarButtonWidth = 60;
constexpr int kBarButtonHeight = 70;
constexpr RECT kPaintBox1{72, 6, 72 + 545, 6 + 20};
constexpr POINT kPageOrigin{67, 25};
constexpr RECT kButton5{76, 272, 76 + 97, 272 + 25};
constexpr RECT kButton3{459, 272, 459 + 75, 272 + 25};
constexpr RECT kButton2{540, 272, 540 + 75, 272 + 25};
constexpr SIZE kArrowButton{23, 22};
constexpr int kFormHeight = 299;

constexpr int kBarItems[] = {IDC_SPEEDITEM1, IDC_SPEEDITEM2, IDC_SPEEDITEM3, IDC_SPEEDITEM4};
constexpr const char* kBarHints[] = {"Tray Icons", "Common options", "Minimizer options", "Help"};
constexpr const char* kHelpCaption = "Help";

// The captions a language library reaches, by control.
struct CaptionOf {
  int id;
  std::string Captions::*text;
};
constexpr CaptionOf kCaptions[] = {
    {IDC_GROUPBOX1, &Captions::GroupBox1},
    {IDC_GROUPBOX7, &Captions::GroupBox7},
    {IDC_RADIOBUTTON10, &Captions::RadioButton10},
    {IDC_RADIOBUTTON11, &Captions::RadioButton11},
    {IDC_RADIOBUTTON12, &Captions::RadioButton12},
    {IDC_GROUPBOX2, &Captions::GroupBox2},
    {IDC_RADIOBUTTON1, &Captions::RadioButton1},
    {IDC_RADIOBUTTON2, &Captions::RadioButton2},
    {IDC_RADIOBUTTON3, &Captions::RadioButton3},
    {IDC_GROUPBOX6, &Captions::GroupBox6},
    {IDC_RADIOBUTTON7, &Captions::RadioButton7},
    {IDC_RADIOBUTTON8, &Captions::RadioButton8},
    {IDC_RADIOBUTTON9, &Captions::RadioButton9},
    {IDC_GROUPBOX3, &Captions::GroupBox3},
    {IDC_CHECKBOX3, &Captions::CheckBox3},
    {IDC_LABEL3, &Captions::Label3},
    {IDC_LABEL4, &Captions::Label4},
    {IDC_GROUPBOX4, &Captions::GroupBox4},
    {IDC_BUTTON1, &Captions::Button1},
    {IDC_LABEL5, &Captions::Label5},
    {IDC_LABEL9, &Captions::PanelKeyLabel},
    {IDC_GROUPBOX5, &Captions::GroupBox5},
    {IDC_CHECKBOX4, &Captions::CheckBox4},
    {IDC_RADIOBUTTON4, &Captions::RadioButton4},
    {IDC_RADIOBUTTON5, &Captions::RadioButton5},
    {IDC_RADIOBUTTON6, &Captions::RadioButton6},
    {IDC_LABEL8, &Captions::Label8},
    {IDC_BUTTON5, &Captions::Button5},
};

void Place(HWND window, const RECT& r) {
  ::SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetText(HWND window, const std::string& text) {
  char current[512] = {};
  ::GetWindowTextA(window, current, sizeof current);
  if (text != current) ::SetWindowTextA(window, text.c_str());  // no flicker when unchanged
}

// Checks the n-th of three radio buttons (1 to 3) and unchecks the others; 0 unchecks all.
void CheckOneOf(HWND page, int first, int n) {
  for (int i = 0; i < 3; ++i)
    ::SendDlgItemMessageA(page, first + i, BM_SETCHECK, i + 1 == n ? BST_CHECKED : BST_UNCHECKED,
                          0);
}

// Bold, 10 points at the screen's resolution.
HFONT HeaderFont() {
  const ScreenDcOwner screen(::GetDC(nullptr));
  const int dpi = screen ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
  return MakeFont("MS Sans Serif", ::MulDiv(10, dpi, 72), FW_BOLD);
}

}  // namespace

INT_PTR OptionsPage::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return FALSE;  // the frame decides where the focus goes
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM: {
      const LRESULT result = ::SendMessageA(::GetParent(dialog_), msg, wParam, lParam);
      ::SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    default:
      return FALSE;
  }
}

bool OptionsDialog::Create(HINSTANCE instance, HWND parent, HICON missingPicture) {
  if (!CreateModeless(instance, IDD_OPTIONS, parent)) return false;
  const int templates[] = {IDD_PAGE_TRAY, IDD_PAGE_COMMON, IDD_PAGE_MINIMIZER};
  for (int i = 0; i < 3; ++i)
    if (!pages_[static_cast<std::size_t>(i)].CreateModeless(instance, templates[i], dialog_))
      return false;
  headerFont_ = FontOwner(HeaderFont());
  PlaceParts();
  AddHints(instance);
  list_.Attach(Item(IDC_LISTVIEW1), missingPicture);
  // A plain key would fire wherever it is typed: it gets Ctrl+Alt.
  for (const int id : {IDC_HOTKEY1, IDC_PANELKEY})
    ::SendMessageA(Item(id), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S,
                   MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
  // "No bounds": the whole range of a 32-bit count.
  ::SendMessageA(Item(IDC_SPINEDIT1_ARROWS), UDM_SETRANGE32, static_cast<WPARAM>(INT_MIN), INT_MAX);
  Sync(true);
  return true;
}

void OptionsDialog::PlaceParts() {
  RECT client;
  ::GetClientRect(::GetParent(dialog_), &client);
  Place(dialog_, client);
  for (int i = 0; i < 4; ++i) {
    const int top = 2 + i * kBarButtonHeight;
    Place(Item(kBarItems[i]),
          ScreenPixels(RECT{3, top, 3 + kBarButtonWidth, top + kBarButtonHeight}));
  }
  Place(Item(IDC_PAINTBOX1), ScreenPixels(kPaintBox1));
  Place(Item(IDC_BUTTON5), ScreenPixels(kButton5));
  Place(Item(IDOK), ScreenPixels(kButton3));
  Place(Item(IDCANCEL), ScreenPixels(kButton2));
  // The pages fill the page area between the header and the buttons, and come right after the
  // header in the tab order, before the three buttons.
  const RECT area{ScreenPixels(kPageOrigin.x), ScreenPixels(kPageOrigin.y),
                  client.right - ScreenPixels(4), ScreenPixels(kButton5.top - 3)};
  for (int i = 0; i < 3; ++i) {
    ::SetWindowPos(Page(i), Item(IDC_PAINTBOX1), area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOACTIVATE);
  }
  for (const int id : {IDC_SPEEDBUTTON3, IDC_SPEEDBUTTON4})
    ::SetWindowPos(Item(id), nullptr, 0, 0, ScreenPixels(kArrowButton.cx),
                   ScreenPixels(kArrowButton.cy), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void OptionsDialog::AddHints(HINSTANCE instance) {
  hints_ = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog_, nullptr,
                             instance, nullptr);
  if (hints_ == nullptr) return;
  for (int i = 0; i < 4; ++i) {
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;  // understood by every comctl32 we run on
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(kBarItems[i]));
    tool.lpszText = const_cast<char*>(kBarHints[i]);
    ::SendMessageA(hints_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  TOOLINFOA tool = HotKeyTool();
  const std::string hint = HotKeyHint(form_.Dialog.HotKey1);
  tool.lpszText = const_cast<char*>(hint.c_str());
  ::SendMessageA(hints_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

TOOLINFOA OptionsDialog::HotKeyTool() const {
  TOOLINFOA tool{};
  tool.cbSize = TTTOOLINFOA_V1_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = dialog_;
  tool.uId = reinterpret_cast<UINT_PTR>(Item(IDC_HOTKEY1));
  return tool;
}

HWND OptionsDialog::Item(int id) const {
  if (HWND own = ::GetDlgItem(dialog_, id)) return own;
  for (const OptionsPage& page : pages_)
    if (HWND found = ::GetDlgItem(page.Handle(), id)) return found;
  return nullptr;
}

void OptionsDialog::Sync(bool rows) {
  if (dialog_ == nullptr) return;
  syncing_ = true;
  const Captions& captions = form_.DialogCaptions;
  for (const CaptionOf& c : kCaptions) SetText(Item(c.id), captions.*(c.text));
  list_.SetColumnCaption(captions.ListView1Column);
  if (rows) list_.Sync();

  const OptionsDialogState& state = form_.Dialog;
  CheckOneOf(Page(1), IDC_RADIOBUTTON1, state.ApStyle);
  CheckOneOf(Page(1), IDC_RADIOBUTTON7, state.TrayButton);
  ::CheckDlgButton(Page(1), IDC_CHECKBOX3, state.CheckBox3 ? BST_CHECKED : BST_UNCHECKED);
  BOOL read = FALSE;
  const int shown = static_cast<int>(::GetDlgItemInt(Page(1), IDC_SPINEDIT1, &read, TRUE));
  if (!read || shown != state.SpinEdit1)
    ::SetDlgItemInt(Page(1), IDC_SPINEDIT1, state.SpinEdit1, TRUE);
  ::CheckDlgButton(Page(2), IDC_CHECKBOX4, state.CheckBox4 ? BST_CHECKED : BST_UNCHECKED);
  CheckOneOf(Page(2), IDC_RADIOBUTTON4, state.MinimizeTo);
  SyncHotKey();

  const OptionsList& icons = form_.Registry().ListView1;
  const IconPlace place = icons.CheckedPlace();
  CheckOneOf(Page(0), IDC_RADIOBUTTON10,
             place == IconPlace::Tray    ? 1
             : place == IconPlace::Panel ? 2
             : place == IconPlace::Menu  ? 3
                                         : 0);
  // Disabling the control that has the keyboard takes the keyboard away from the whole form:
  // a move button that is disabled under it hands it to the list.
  HWND focus = ::GetFocus();
  ::EnableWindow(Item(IDC_SPEEDBUTTON3), icons.SpeedButton3Enabled);
  ::EnableWindow(Item(IDC_SPEEDBUTTON4), icons.SpeedButton4Enabled);
  if (focus != nullptr && ::IsChild(dialog_, focus) && !::IsWindowEnabled(focus))
    ::SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list_.Handle()), TRUE);

  ShowCurrentPage();
  for (const int id : kBarItems) ::InvalidateRect(Item(id), nullptr, FALSE);
  ::InvalidateRect(Item(IDC_PAINTBOX1), nullptr, FALSE);
  syncing_ = false;
}

void OptionsDialog::SyncHotKey() {
  const OptionsDialogState& state = form_.Dialog;
  HWND control = Item(IDC_HOTKEY1);
  if (state.HotKey1 != shownHotKey_) {
    ::SendMessageA(control, HKM_SETHOTKEY, static_cast<WPARAM>(state.HotKey1 & 0xFFFF), 0);
    shownHotKey_ = state.HotKey1;
  }
  ::EnableWindow(control, state.CheckBox4);
  ::EnableWindow(Item(IDC_LABEL8), state.CheckBox4);
  SetText(Item(IDC_HOTKEYNOTE), state.HotKeyNote);
  if (state.PanelHotKey1 != shownPanelKey_) {
    ::SendMessageA(Item(IDC_PANELKEY), HKM_SETHOTKEY,
                   static_cast<WPARAM>(state.PanelHotKey1 & 0xFFFF), 0);
    shownPanelKey_ = state.PanelHotKey1;
  }
  SetText(Item(IDC_PANELKEYNOTE), state.PanelHotKeyNote);
  if (hints_ != nullptr) {
    TOOLINFOA tool = HotKeyTool();
    const std::string hint = HotKeyHint(state.HotKey1);
    tool.lpszText = const_cast<char*>(hint.c_str());
    ::SendMessageA(hints_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void OptionsDialog::ShowCurrentPage() {
  const int current = form_.Dialog.Page;
  if (current == shownPage_) return;
  shownPage_ = current;
  HWND focus = ::GetFocus();
  bool focusHidden = false;
  for (int i = 0; i < 3; ++i) {
    if (i == current) continue;
    if (focus != nullptr && (focus == Page(i) || ::IsChild(Page(i), focus))) focusHidden = true;
    ::ShowWindow(Page(i), SW_HIDE);
  }
  if (current >= 0 && current < 3) ::ShowWindow(Page(current), SW_SHOWNA);
  if (focusHidden) FocusFirst();
}

void OptionsDialog::FocusFirst() {
  const int current = form_.Dialog.Page;
  if (current < 0 || current >= 3) return;
  HWND first = ::GetNextDlgTabItem(Page(current), nullptr, FALSE);
  if (first != nullptr)
    ::SendMessageA(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

void OptionsDialog::RememberFocus() {
  HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(dialog_, focus)) lastFocus_ = focus;
}

void OptionsDialog::RestoreFocus() {
  if (lastFocus_ != nullptr && ::IsWindow(lastFocus_) && ::IsWindowVisible(lastFocus_) &&
      ::IsWindowEnabled(lastFocus_))
    ::SetFocus(lastFocus_);
  else
    FocusFirst();
}

bool OptionsDialog::PreTranslate(MSG& m) {
  if (dialog_ == nullptr || !::IsWindowVisible(::GetParent(dialog_))) return false;
  if (m.hwnd != dialog_ && !::IsChild(dialog_, m.hwnd)) return false;
  const bool control = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
  if (m.message == WM_KEYDOWN && control &&
      (m.wParam == VK_TAB || m.wParam == VK_NEXT || m.wParam == VK_PRIOR)) {
    // Between the pages, as in any dialog with pages.
    const bool back =
        m.wParam == VK_PRIOR || (m.wParam == VK_TAB && (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
    form_.SpeedItemClick((form_.Dialog.Page + (back ? 2 : 1)) % 3);
    Sync();
    FocusFirst();
    return true;
  }
  return ::IsDialogMessageA(dialog_, &m) != FALSE;
}

INT_PTR OptionsDialog::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      return FALSE;
    case WM_COMMAND:
      if (!syncing_) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header != nullptr && header->hwndFrom == list_.Handle()) {
        list_.OnNotify(header);
        // The list's own changes while it is filled come back as notifications: a whole sync
        // for each made refreshing a list of a few dozen rows take a third of a second.
        if (header->code == LVN_ITEMCHANGED && !syncing_) Sync();
      }
      return TRUE;
    }
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      ::SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<HDC>(wParam));
      ::SetWindowLongPtrA(dialog_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    default:
      return FALSE;
  }
}

void OptionsDialog::EraseBackground(HDC dc) {
  RECT client;
  ::GetClientRect(dialog_, &client);
  RECT rest = client;
  rest.left = ScreenPixels(kPageBarWidth);
  ::FillRect(dc, &rest, ::GetSysColorBrush(COLOR_BTNFACE));
  PaintWallpaper(dc, RECT{0, 0, rest.left, client.bottom}, POINT{0, 0}, ScreenPixels(kFormHeight));
}

void OptionsDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const Captions& captions = form_.DialogCaptions;
  const int page = form_.Dialog.Page;
  switch (item.CtlID) {
    case IDC_SPEEDITEM1:
      DrawBarButton(item, BarGlyph::TrayIcons, captions.SpeedItem1, page == 0, page == 0,
                    ScreenPixels(kFormHeight));
      break;
    case IDC_SPEEDITEM2:
      DrawBarButton(item, BarGlyph::Common, captions.SpeedItem2, page == 1, page == 1,
                    ScreenPixels(kFormHeight));
      break;
    case IDC_SPEEDITEM3:
      DrawBarButton(item, BarGlyph::Minimizer, captions.SpeedItem3, page == 2, page == 2,
                    ScreenPixels(kFormHeight));
      break;
    case IDC_SPEEDITEM4:
      DrawBarButton(item, BarGlyph::Help, kHelpCaption, false, false, ScreenPixels(kFormHeight));
      break;
    case IDC_SPEEDBUTTON3:
      DrawArrowButton(item, true);
      break;
    case IDC_SPEEDBUTTON4:
      DrawArrowButton(item, false);
      break;
    case IDC_PAINTBOX1:
      PaintHeader(item.hDC, item.rcItem, form_.Dialog.Label7,
                  static_cast<HFONT>(headerFont_.Get()));
      break;
    default:
      break;
  }
}

void OptionsDialog::ReadHotKeys() {
  const int key = static_cast<int>(::SendMessageA(Item(IDC_HOTKEY1), HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
  if (key != shownHotKey_) {
    form_.Dialog.SetHotKey1(key);
    shownHotKey_ = key;
  }
  const int panelKey =
      static_cast<int>(::SendMessageA(Item(IDC_PANELKEY), HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
  if (panelKey != shownPanelKey_) {
    form_.Dialog.SetPanelHotKey1(panelKey);
    shownPanelKey_ = panelKey;
  }
}

void OptionsDialog::OnCommand(int id, int code) {
  // Read at every command: the controls tell no change when a key is cleared (Backspace).
  ReadHotKeys();
  if (code == EN_CHANGE && (id == IDC_HOTKEY1 || id == IDC_PANELKEY)) {
    Sync();
    return;
  }
  if (code == EN_CHANGE && id == IDC_SPINEDIT1) {
    BOOL read = FALSE;
    const int value = static_cast<int>(::GetDlgItemInt(Page(1), IDC_SPINEDIT1, &read, TRUE));
    if (read) form_.Dialog.SpinEdit1 = value;
    return;
  }
  if (code != BN_CLICKED) return;
  OptionsDialogState& state = form_.Dialog;
  TrayRegistry& registry = form_.Registry();
  switch (id) {
    case IDOK:
      form_.Button3Click();
      break;
    case IDCANCEL:
      form_.Button2Click();
      break;
    case IDC_BUTTON5:
      form_.Button5Click();
      break;
    case IDC_SPEEDITEM1:
    case IDC_SPEEDITEM2:
    case IDC_SPEEDITEM3:
      form_.SpeedItemClick(id - IDC_SPEEDITEM1);
      break;
    case IDC_SPEEDITEM4:
      form_.SpeedItem4Click();
      break;
    case IDC_RADIOBUTTON1:
    case IDC_RADIOBUTTON2:
    case IDC_RADIOBUTTON3:
      state.ApStyle = id - IDC_RADIOBUTTON1 + 1;
      break;
    case IDC_RADIOBUTTON7:
    case IDC_RADIOBUTTON8:
    case IDC_RADIOBUTTON9:
      // A click on the button already checked changes nothing, as in the model.
      if (state.TrayButton != id - IDC_RADIOBUTTON7 + 1)
        form_.TrayButtonChoice(id - IDC_RADIOBUTTON7 + 1);
      break;
    case IDC_RADIOBUTTON4:
    case IDC_RADIOBUTTON5:
    case IDC_RADIOBUTTON6:
      state.MinimizeTo = id - IDC_RADIOBUTTON4 + 1;
      break;
    case IDC_CHECKBOX3:
      state.CheckBox3 = ::IsDlgButtonChecked(Page(1), IDC_CHECKBOX3) == BST_CHECKED;
      break;
    case IDC_CHECKBOX4:
      state.CheckBox4 = ::IsDlgButtonChecked(Page(2), IDC_CHECKBOX4) == BST_CHECKED;
      break;
    case IDC_RADIOBUTTON10:
      registry.ListView1.CheckRadio(IconPlace::Tray);
      break;
    case IDC_RADIOBUTTON11:
      registry.ListView1.CheckRadio(IconPlace::Panel);
      break;
    case IDC_RADIOBUTTON12:
      registry.ListView1.CheckRadio(IconPlace::Menu);
      break;
    case IDC_SPEEDBUTTON3:
      registry.Placement.SpeedButton3Click();
      break;
    case IDC_SPEEDBUTTON4:
      registry.Placement.SpeedButton4Click();
      break;
    case IDC_BUTTON1:
      form_.Button1Click();
      break;
    default:
      return;
  }
  Sync();
}

}  // namespace cvl::win32
