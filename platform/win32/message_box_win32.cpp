// Message boxes by kind: icon and buttons follow the kind, the box stands in the middle of the
// screen, and in a Yes/No box Escape answers No.
#include "platform/win32/dialog_parts_win32.h"
#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

UINT Style(MessageKind kind) {
  switch (kind) {
    case MessageKind::Warning:
      return MB_OK | MB_ICONWARNING;
    case MessageKind::Error:
      return MB_OK | MB_ICONERROR;
    case MessageKind::Information:
      return MB_YESNO | MB_ICONINFORMATION;
    case MessageKind::Confirmation:
      return MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1;
  }
  return MB_OK;
}

// A Yes/No box has no Cancel button, so the system ignores Escape; it answers No instead.
LRESULT CALLBACK EscapeMeansNo(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL)
    return DefSubclassProc(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  return DefSubclassProc(box, message, wParam, lParam);
}

}  // namespace

HWND DialogOwner(const UiContext& context) {
  return context.main && IsWindowVisible(context.main) ? context.main : nullptr;
}

MessageResult ShowMessageBox(const UiContext& context, MessageKind kind,
                             const std::wstring& caption, const std::wstring& text) {
  UINT style = Style(kind);
  bool yesNo = (style & MB_TYPEMASK) == MB_YESNO;
  int answer;
  {
    CentredDialogs centred(context.instance, false, [yesNo](HWND box) {
      if (yesNo) SetWindowSubclass(box, EscapeMeansNo, 1, 0);
    });
    answer =
        MessageBoxW(DialogOwner(context), text.c_str(), caption.c_str(), style | MB_SETFOREGROUND);
  }
  if (!yesNo) return MessageResult::Ok;
  return answer == IDYES ? MessageResult::Yes : MessageResult::No;
}

}  // namespace vandrel::win32
