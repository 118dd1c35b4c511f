// A tool window is a dialog box of the system's class, so Tab, Enter on a focused button and
// the focus rectangle behave as users know them; its controls are made at the layout's pixels
// rather than from dialog units. Enter elsewhere and Esc ask for IDOK and IDCANCEL, which no
// control carries, so they do nothing.
#include "platform/win32/tool_windows_win32.h"

#include <algorithm>
#include <vector>

#include "platform/win32/dialog_parts_win32.h"
#include "platform/win32/dialog_template_win32.h"
#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

// The system's ids are clear of these; a control's id is this plus its place in the layout.
constexpr int kFirstControlId = 1000;
constexpr INT_PTR kEndedOk = 100, kEndedCancel = 101;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);

struct ControlClass {
  const wchar_t* name;
  DWORD style;
};

ControlClass ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::GroupBox:
      return {L"BUTTON", BS_GROUPBOX};
    case ControlKind::CheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
    case ControlKind::Button:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
    case ControlKind::AppIcon:
      return {L"STATIC", SS_ICON};
    case ControlKind::Label:
      return {L"STATIC", SS_CENTER | SS_NOPREFIX};
    case ControlKind::Link:
      return {L"STATIC", SS_CENTER | SS_NOPREFIX | SS_NOTIFY};
  }
  return {L"STATIC", 0};
}

class ToolWindow final : public IToolWindow {
 public:
  ToolWindow(const UiContext& context, const ToolWindowDesign& design,
             const ToolWindowEvents& events)
      : context_(context), design_(design), events_(events) {}

  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<ToolWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_INITDIALOG) self->dialog_ = dialog;
    return self->Handle(message, wParam, lParam);
  }

  void SetIconFromResource() override { SetAppIcon(dialog_, context_.instance); }
  void CentreOnScreen() override { win32::CentreOnScreen(dialog_); }
  bool IsChecked(int control) const override {
    return IsDlgButtonChecked(dialog_, IdOf(control)) == BST_CHECKED;
  }
  void SetChecked(int control, bool checked) override {
    CheckDlgButton(dialog_, IdOf(control), checked ? BST_CHECKED : BST_UNCHECKED);
  }
  void EndModal(ModalResult result) override {
    EndDialog(dialog_, result == ModalResult::Ok ? kEndedOk : kEndedCancel);
  }

 private:
  INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        Initialise();
        return TRUE;  // the focus goes to the first control in tab order
      case WM_COMMAND:
        // Buttons' BN_CLICKED and the link's STN_CLICKED are both 0.
        if (HIWORD(wParam) == BN_CLICKED) Clicked(LOWORD(wParam));
        return TRUE;
      case WM_CLOSE:
        EndModal(ModalResult::Cancel);
        return TRUE;
      case WM_CTLCOLORSTATIC:
        if (!IsLink(reinterpret_cast<HWND>(lParam))) return FALSE;
        SetTextColor(reinterpret_cast<HDC>(wParam), kLinkColour);
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      case WM_SETCURSOR:
        if (!IsLink(reinterpret_cast<HWND>(wParam))) return FALSE;
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        SetWindowLongPtrW(dialog_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    return FALSE;
  }

  void Initialise() {
    RECT outer{0, 0, design_.clientWidth, design_.clientHeight};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(dialog_, GWL_EXSTYLE)));
    SetWindowPos(dialog_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (size_t at = 0; at < design_.controls.size(); ++at) Create(design_.controls[at], at);
    if (events_.onCreate) context_.guard([this] { events_.onCreate(*this); });
  }

  void Create(const ControlDesign& control, size_t at) {
    ControlClass kind = ClassOf(control.kind);
    const Bounds& b = control.bounds;
    HWND made =
        CreateWindowExW(0, kind.name, control.text.c_str(), WS_CHILD | WS_VISIBLE | kind.style,
                        b.left, b.top, b.width, b.height, dialog_,
                        reinterpret_cast<HMENU>(kFirstControlId + at), context_.instance, nullptr);
    bool link = control.kind == ControlKind::Link;
    HFONT font = link ? context_.fonts.underlined() : context_.fonts.regular();
    SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (link) links_.push_back(made);
    if (control.kind == ControlKind::AppIcon)
      SendMessageW(made, STM_SETICON,
                   reinterpret_cast<WPARAM>(LoadImageW(context_.instance, L"MAINICON", IMAGE_ICON,
                                                       b.width, b.height, LR_SHARED)),
                   0);
  }

  void Clicked(int id) {
    int at = id - kFirstControlId;
    if (at < 0 || at >= static_cast<int>(design_.controls.size()) || !events_.onClick) return;
    int control = design_.controls[static_cast<size_t>(at)].id;
    context_.guard([this, control] { events_.onClick(*this, control); });
  }

  int IdOf(int control) const {
    for (size_t at = 0; at < design_.controls.size(); ++at)
      if (design_.controls[at].id == control) return kFirstControlId + static_cast<int>(at);
    return 0;
  }

  bool IsLink(HWND control) const {
    return std::find(links_.begin(), links_.end(), control) != links_.end();
  }

  const UiContext& context_;
  const ToolWindowDesign& design_;
  const ToolWindowEvents& events_;
  HWND dialog_ = nullptr;
  std::vector<HWND> links_;
};

}  // namespace

ModalResult ToolWindows::ShowModal(const ToolWindowDesign& design, const ToolWindowEvents& events) {
  // A fixed frame with a small title bar and the close box; the size comes from the layout.
  DialogTemplate layout(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 0, 0, design.caption, 0,
                        WS_EX_TOOLWINDOW);
  ToolWindow window(context_, design, events);
  INT_PTR ended = DialogBoxIndirectParamW(context_.instance, layout.get(), DialogOwner(context_),
                                          ToolWindow::Procedure, reinterpret_cast<LPARAM>(&window));
  return ended == kEndedOk ? ModalResult::Ok : ModalResult::Cancel;
}

}  // namespace vandrel::win32
