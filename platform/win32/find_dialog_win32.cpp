#include "platform/win32/find_dialog_win32.h"

#include <utility>

#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

DWORD Flags(const FindDialogRequest& request) {
  DWORD flags = FR_DOWN;
  if (request.hideMatchCase) flags |= FR_HIDEMATCHCASE;
  if (request.hideWholeWord) flags |= FR_HIDEWHOLEWORD;
  if (request.hideUpDown) flags |= FR_HIDEUPDOWN;
  return flags;
}

}  // namespace

FindDialog::FindDialog(UiContext& context)
    : context_(context), message_(RegisterWindowMessageW(FINDMSGSTRINGW)) {}

FindDialog::~FindDialog() {
  if (dialog_) DestroyWindow(dialog_);
}

void FindDialog::Show(const FindDialogRequest& request, FindDialogEvents events) {
  if (dialog_) DestroyWindow(dialog_);
  events_ = std::move(events);
  text_.fill(L'\0');
  request.text.copy(text_.data(), text_.size() - 1);
  find_ = {};
  find_.lStructSize = sizeof find_;
  find_.hwndOwner = context_.main;
  find_.Flags = Flags(request);
  find_.lpstrFindWhat = text_.data();
  find_.wFindWhatLen = static_cast<WORD>(text_.size());
  {
    CentredDialogs centred(context_.instance, true);
    dialog_ = FindTextW(&find_);
  }
  if (dialog_ && events_.onShow) events_.onShow();
}

void FindDialog::RequestClose() {
  if (dialog_) PostMessageW(dialog_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void FindDialog::Notified(LPARAM lParam) {
  const auto& find = *reinterpret_cast<const FINDREPLACEW*>(lParam);
  if (find.Flags & FR_DIALOGTERM) {
    dialog_ = nullptr;
    if (events_.onClose) context_.guard(events_.onClose);
  } else if ((find.Flags & FR_FINDNEXT) && events_.onFind) {
    std::wstring text = find.lpstrFindWhat;
    context_.guard([&] { events_.onFind(text); });
  }
}

bool FindDialog::TakeMessage(MSG& message) {
  return dialog_ && IsDialogMessageW(dialog_, &message);
}

}  // namespace vandrel::win32
