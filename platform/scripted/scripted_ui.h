#pragma once
// The scripted platform for the native tests: it records everything shown and answers the
// dialogs from queues a test fills.
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/memory_list.h"
#include "platform/services.h"
#include "platform/window.h"

namespace vandrel::scripted {

// One timeline shared by the scripted parts, so tests can check the order of what happened.
using Journal = std::vector<std::wstring>;

using List = MemoryList;

class StatusBar final : public IStatusBar {
 public:
  explicit StatusBar(Journal& journal) : journal_(journal) {}
  void SetText(int panel, const std::wstring& text) override;
  std::wstring Text(int panel) const override { return texts_[panel]; }
  void SetPanelWidth(int panel, int width) override { widths_[panel] = width; }
  int Height() const override { return 19; }

  int width(int panel) const { return widths_[panel]; }
  // Every first-panel text in the order shown.
  const std::vector<std::wstring>& history() const { return history_; }

 private:
  Journal& journal_;
  std::wstring texts_[2];
  int widths_[2] = {200, 50};
  std::vector<std::wstring> history_;
};

class Menus final : public IMenus {
 public:
  void SetEnabled(int item, bool enabled) override { enabled_[item] = enabled; }
  bool IsEnabled(int item) const override;
  void SetChecked(int item, bool checked) override { checked_[item] = checked; }
  bool IsChecked(int item) const override;

 private:
  std::map<int, bool> enabled_, checked_;
};

class Window final : public IWindow {
 public:
  explicit Window(Journal& journal) : journal_(journal) {}
  void SetCaption(const std::wstring& caption) override { caption_ = caption; }
  void SetAppTitle(const std::wstring& title) override { appTitle_ = title; }
  void SetCursor(Cursor cursor) override { cursor_ = cursor; }
  void ProcessMessages() override {
    if (onProcessMessages) onProcessMessages();
  }
  int OuterWidth() const override { return outerWidth; }
  int ClientWidth() const override { return clientWidth; }
  int ClientHeight() const override { return clientHeight; }
  void SetListBounds(int left, int top, int width, int height) override;
  void SetIconFromResource() override { iconSet_ = true; }
  void CentreOnScreen() override { centred_ = true; }
  void Show() override;
  void Close() override { closed_ = true; }

  int outerWidth = 350, clientWidth = 334, clientHeight = 196;
  Rect listBounds;  // left, top, and width/height in right/bottom
  const std::wstring& caption() const { return caption_; }
  const std::wstring& appTitle() const { return appTitle_; }
  Cursor cursor() const { return cursor_; }
  bool iconSet() const { return iconSet_; }
  bool centred() const { return centred_; }
  bool closed() const { return closed_; }
  bool visible() const { return visible_; }
  // Runs whenever the program lets pending messages through.
  std::function<void()> onProcessMessages;

 private:
  Journal& journal_;
  std::wstring caption_, appTitle_;
  Cursor cursor_ = Cursor::Default;
  bool iconSet_ = false, centred_ = false, closed_ = false, visible_ = false;
};

struct ShownMessage {
  MessageKind kind;
  std::wstring caption, text;
};

struct InputRequest {
  std::wstring caption, prompt, text;
};

class Dialogs final : public IDialogs {
 public:
  explicit Dialogs(Journal& journal) : journal_(journal) {}
  MessageResult MessageBox(MessageKind kind, const std::wstring& caption,
                           const std::wstring& text) override;
  std::optional<std::vector<std::wstring>> OpenFile(const OpenFileRequest& request) override;
  std::optional<std::wstring> BrowseForFolder(const FolderRequest& request) override;
  std::optional<std::wstring> InputBox(const std::wstring& caption, const std::wstring& prompt,
                                       const std::wstring& text) override;
  void ShowFindDialog(const FindDialogRequest& request, FindDialogEvents events) override;
  void CloseFindDialog() override { closeRequested_ = true; }

  // Answers, taken in order; an empty queue cancels (or answers No to a question).
  std::deque<MessageResult> questionAnswers;
  std::deque<std::optional<std::vector<std::wstring>>> openFileAnswers;
  std::deque<std::optional<std::wstring>> folderAnswers;
  std::deque<std::optional<std::wstring>> inputAnswers;

  const std::vector<ShownMessage>& messages() const { return messages_; }
  const std::vector<OpenFileRequest>& openFileRequests() const { return openRequests_; }
  const std::vector<FolderRequest>& folderRequests() const { return folderRequests_; }
  const std::vector<InputRequest>& inputRequests() const { return inputRequests_; }
  const std::vector<FindDialogRequest>& findRequests() const { return findRequests_; }

  bool findDialogOpen() const { return findOpen_; }
  // The user presses the open find dialog's Find Next button with this text in its field.
  void PressFindNext(const std::wstring& text);
  // The user cancels the open find dialog.
  void CancelFind();

 private:
  void FinishPendingClose();

  Journal& journal_;
  std::vector<ShownMessage> messages_;
  std::vector<OpenFileRequest> openRequests_;
  std::vector<FolderRequest> folderRequests_;
  std::vector<InputRequest> inputRequests_;
  std::vector<FindDialogRequest> findRequests_;
  FindDialogEvents findEvents_;
  bool findOpen_ = false, closeRequested_ = false;
};

class Timers final : public ITimers {
 public:
  void Start(int id, unsigned intervalMs, std::function<void()> onTick) override;
  void Stop(int id) override { running_.erase(id); }
  bool IsRunning(int id) const { return running_.count(id) != 0; }
  unsigned Interval(int id) const { return running_.at(id).interval; }
  // Fires a running timer once, as the message loop would.
  void Fire(int id);

 private:
  struct Timer {
    unsigned interval;
    std::function<void()> onTick;
  };
  std::map<int, Timer> running_;
};

struct ShellCall {
  std::wstring verb, file, parameters;
};

class Shell final : public IShell {
 public:
  void Execute(const std::wstring& verb, const std::wstring& file,
               const std::wstring& parameters) override {
    calls.push_back({verb, file, parameters});
  }
  std::vector<ShellCall> calls;
};

// Sorts like a case-insensitive locale order: Latin and Cyrillic letters folded, then by code
// point, so "%" comes before digits and letters.
class System final : public ISystem {
 public:
  void AppendSortKey(std::string& keys, const std::wstring& text) const override;
  uint32_t TickCount() const override { return ticks; }
  uint32_t ClockSeed() const override { return seed; }
  // No real time passes in a test.
  void Wait(uint32_t ms) override { ticks += ms; }
  uint32_t ticks = 0, seed = 12345;
};

}  // namespace vandrel::scripted
