#include "platform/scripted/scripted_ui.h"

#include <algorithm>

namespace vandrel::scripted {

void StatusBar::SetText(int panel, const std::wstring& text) {
  texts_[panel] = text;
  if (panel == 0) {
    history_.push_back(text);
    journal_.push_back(L"status:" + text);
  }
}

bool Menus::IsEnabled(int item) const {
  auto at = enabled_.find(item);
  return at == enabled_.end() || at->second;
}

bool Menus::IsChecked(int item) const {
  auto at = checked_.find(item);
  return at != checked_.end() && at->second;
}

void Window::Show() {
  visible_ = true;
  journal_.push_back(L"window:show");
}

void Window::SetListBounds(int left, int top, int width, int height) {
  listBounds = {left, top, width, height};
}

MessageResult Dialogs::MessageBox(MessageKind kind, const std::wstring& caption,
                                  const std::wstring& text) {
  messages_.push_back({kind, caption, text});
  journal_.push_back(L"box:" + caption);
  if (kind == MessageKind::Warning || kind == MessageKind::Error) return MessageResult::Ok;
  if (questionAnswers.empty()) return MessageResult::No;
  MessageResult answer = questionAnswers.front();
  questionAnswers.pop_front();
  return answer;
}

template <typename T>
static std::optional<T> TakeAnswer(std::deque<std::optional<T>>& answers) {
  if (answers.empty()) return std::nullopt;
  auto answer = answers.front();
  answers.pop_front();
  return answer;
}

std::optional<std::vector<std::wstring>> Dialogs::OpenFile(const OpenFileRequest& request) {
  openRequests_.push_back(request);
  journal_.push_back(L"open-dialog:" + request.title);
  return TakeAnswer(openFileAnswers);
}

std::optional<std::wstring> Dialogs::BrowseForFolder(const FolderRequest& request) {
  folderRequests_.push_back(request);
  journal_.push_back(L"folder-dialog:" + request.caption);
  return TakeAnswer(folderAnswers);
}

std::optional<std::wstring> Dialogs::InputBox(const std::wstring& caption,
                                              const std::wstring& prompt,
                                              const std::wstring& text) {
  inputRequests_.push_back({caption, prompt, text});
  journal_.push_back(L"input:" + caption);
  return TakeAnswer(inputAnswers);
}

void Dialogs::ShowFindDialog(const FindDialogRequest& request, FindDialogEvents events) {
  findRequests_.push_back(request);
  findEvents_ = std::move(events);
  findOpen_ = true;
  closeRequested_ = false;
  if (findEvents_.onShow) findEvents_.onShow();
}

void Dialogs::PressFindNext(const std::wstring& text) {
  if (!findOpen_) return;
  if (findEvents_.onFind) findEvents_.onFind(text);
  FinishPendingClose();
}

void Dialogs::CancelFind() {
  if (!findOpen_) return;
  closeRequested_ = true;
  FinishPendingClose();
}

// A requested close takes effect once control is back in the message loop.
void Dialogs::FinishPendingClose() {
  if (!closeRequested_) return;
  findOpen_ = closeRequested_ = false;
  if (findEvents_.onClose) findEvents_.onClose();
}

void Timers::Start(int id, unsigned intervalMs, std::function<void()> onTick) {
  running_[id] = {intervalMs, std::move(onTick)};
}

void Timers::Fire(int id) {
  auto at = running_.find(id);
  if (at == running_.end()) return;
  auto onTick = at->second.onTick;  // the handler may stop its own timer
  onTick();
}

namespace {

wchar_t Fold(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c + 32);
  if (c >= 0x0410 && c <= 0x042F) return static_cast<wchar_t>(c + 32);
  if (c >= 0x0400 && c <= 0x040F) return static_cast<wchar_t>(c + 80);
  return c;
}

}  // namespace

// The folded code points, three bytes each, most significant first: byte order is their order.
void System::AppendSortKey(std::string& keys, const std::wstring& text) const {
  for (wchar_t c : text) {
    auto point = static_cast<uint32_t>(Fold(c));
    for (int shift : {16, 8, 0}) keys += static_cast<char>((point >> shift) & 0xFF);
  }
}

}  // namespace vandrel::scripted
