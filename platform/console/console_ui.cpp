#include "platform/console/console_ui.h"

#include "platform/utf8.h"

namespace vandrel::console {

void StatusBar::SetText(int panel, const std::wstring& text) {
  texts_[panel == 0 ? 0 : 1] = text;
  if (panel == 0) progress_.Show(text);
}

MessageResult Dialogs::MessageBox(MessageKind kind, const std::wstring&, const std::wstring& text) {
  switch (kind) {
    case MessageKind::Error:
      ++errorBoxes_;
      lastError_ = text;
      [[fallthrough]];
    case MessageKind::Warning:
      progress_.Clear();
      errors_ << ToUtf8(text) << '\n' << std::flush;
      return MessageResult::Ok;
    case MessageKind::Confirmation:
      return MessageResult::Yes;
    case MessageKind::Information:
      break;
  }
  return MessageResult::No;
}

}  // namespace vandrel::console
