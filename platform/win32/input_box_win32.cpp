// The input box: a prompt, an edit field of at most 255 characters with all its text selected,
// and OK and Cancel. Its layout lives in a dialog template built in memory, in dialog units.
#include <utility>

#include "platform/win32/dialog_parts_win32.h"
#include "platform/win32/dialog_template_win32.h"
#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

constexpr int kEditId = 100;
constexpr int kPromptId = 101;
constexpr WPARAM kMaxLength = 255;

struct InputState {
  const UiContext& context;
  std::wstring text;
};

INT_PTR CALLBACK InputProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto& state = *reinterpret_cast<InputState*>(lParam);
    HWND edit = GetDlgItem(dialog, kEditId);
    SendMessageW(edit, EM_LIMITTEXT, kMaxLength, 0);
    SetWindowTextW(edit, state.text.c_str());
    CentreOnScreen(dialog);
    SetAppIcon(dialog, state.context.instance);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return FALSE;  // the focus is set
  }
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    auto& state = *reinterpret_cast<InputState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (LOWORD(wParam) == IDOK) state.text = WindowText(GetDlgItem(dialog, kEditId));
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
  }
  return FALSE;
}

}  // namespace

std::optional<std::wstring> ShowInputBox(const UiContext& context, const std::wstring& caption,
                                         const std::wstring& prompt, const std::wstring& text) {
  DialogTemplate layout(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 220, 63, caption, 4);
  layout.Item(0x82, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 8, 8, 204, 10, kPromptId, prompt);
  layout.Item(0x81, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 19, 204, 12, kEditId, L"");
  layout.Item(0x80, WS_TABSTOP | BS_DEFPUSHBUTTON, 58, 41, 50, 14, IDOK, L"OK");
  layout.Item(0x80, WS_TABSTOP | BS_PUSHBUTTON, 112, 41, 50, 14, IDCANCEL, L"Cancel");

  InputState state{context, text};
  INT_PTR pressed = DialogBoxIndirectParamW(context.instance, layout.get(), DialogOwner(context),
                                            InputProc, reinterpret_cast<LPARAM>(&state));
  if (pressed != IDOK) return std::nullopt;
  return std::move(state.text);
}

}  // namespace vandrel::win32
