// The application's top-level error handler.
#include <new>

#include "app/main_window.h"
#include "app/texts.h"
#include "platform/errors.h"
#include "platform/utf8.h"

namespace vandrel {

void TfmMain::ShowException(const std::exception& error) {
  std::wstring message;
  if (auto* known = dynamic_cast<const AppError*>(&error))
    message = known->Message();
  else if (dynamic_cast<const std::bad_alloc*>(&error))
    message = L"Out of memory";
  else
    message = FromUtf8(error.what());
  // A sentence that ends in a letter or digit gets its full stop.
  if (!message.empty() && message.back() > L'.') message += L'.';
  p_.dialogs.MessageBox(MessageKind::Error, text::kAppTitle, message);
}

void TfmMain::Guarded(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    // The command ends where it stands; the user gets the window back.
    Working(false);
    ShowException(error);
  }
}

}  // namespace vandrel
