#pragma once
// The system's modeless find dialog. Its notifications arrive at the owner as a registered
// message, which the owner hands back here; keys reach it through the message loop.
#include <array>

#include "platform/dialogs.h"
#include "platform/win32/ui_context_win32.h"

namespace vandrel::win32 {

class FindDialog {
 public:
  explicit FindDialog(UiContext& context);
  FindDialog(const FindDialog&) = delete;
  FindDialog& operator=(const FindDialog&) = delete;
  ~FindDialog();

  void Show(const FindDialogRequest& request, FindDialogEvents events);
  // Takes effect once the message loop runs again: the dialog then closes as if cancelled.
  void RequestClose();

  UINT message() const { return message_; }
  void Notified(LPARAM lParam);
  // Lets the dialog have a message meant for it (Tab, Enter, Escape); true when it took it.
  bool TakeMessage(MSG& message);

 private:
  UiContext& context_;
  UINT message_;
  HWND dialog_ = nullptr;
  FINDREPLACEW find_{};
  std::array<wchar_t, 256> text_{};
  FindDialogEvents events_;
};

}  // namespace vandrel::win32
