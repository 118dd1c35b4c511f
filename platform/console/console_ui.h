#pragma once
// The console's side of the seam: the window's commands run unchanged, their dialogs answered
// from the command line, their progress drawn on the terminal and their error boxes written
// to the error stream and remembered, so that the exit status can tell.
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "platform/console/progress_line.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/tool_windows.h"
#include "platform/window.h"

namespace vandrel::console {

// The panel-0 texts go to the progress line; the last one stays readable as the result.
class StatusBar final : public IStatusBar {
 public:
  explicit StatusBar(ProgressLine& progress) : progress_(progress) {}
  void SetText(int panel, const std::wstring& text) override;
  std::wstring Text(int panel) const override { return texts_[panel == 0 ? 0 : 1]; }
  void SetPanelWidth(int, int) override {}
  int Height() const override { return 0; }

 private:
  ProgressLine& progress_;
  std::wstring texts_[2];
};

class Menus final : public IMenus {
 public:
  void SetEnabled(int, bool) override {}
  bool IsEnabled(int) const override { return true; }
  void SetChecked(int, bool) override {}
  bool IsChecked(int) const override { return false; }
};

class Window final : public IWindow {
 public:
  void SetCaption(const std::wstring&) override {}
  void SetAppTitle(const std::wstring&) override {}
  void SetCursor(Cursor) override {}
  void ProcessMessages() override {}
  int OuterWidth() const override { return 0; }
  int ClientWidth() const override { return 0; }
  int ClientHeight() const override { return 0; }
  void SetListBounds(int, int, int, int) override {}
  void SetIconFromResource() override {}
  void CentreOnScreen() override {}
  void Show() override {}
  void Close() override {}
};

// What the command line gives in place of the user's answers.
struct Answers {
  std::optional<std::wstring> folder;              // the folder browser
  std::optional<std::vector<std::wstring>> files;  // the open-file dialog
  std::optional<std::wstring> text;                // the input box
};

class Dialogs final : public IDialogs {
 public:
  Dialogs(std::ostream& errors, ProgressLine& progress) : errors_(errors), progress_(progress) {}
  // Errors and warnings are written out; a question is answered Yes: the command line is the
  // user's confirmation.
  MessageResult MessageBox(MessageKind kind, const std::wstring& caption,
                           const std::wstring& text) override;
  std::optional<std::vector<std::wstring>> OpenFile(const OpenFileRequest&) override {
    return answers.files;
  }
  std::optional<std::wstring> BrowseForFolder(const FolderRequest&) override {
    return answers.folder;
  }
  // The command line gives one text: a command that asks again, having refused it, gets none.
  std::optional<std::wstring> InputBox(const std::wstring&, const std::wstring&,
                                       const std::wstring&) override {
    return std::exchange(answers.text, std::nullopt);
  }
  void ShowFindDialog(const FindDialogRequest&, FindDialogEvents) override {}
  void CloseFindDialog() override {}

  Answers answers;
  // An error box has been shown: the command failed, whether it raised or returned.
  bool failed() const { return errorBoxes_ > 0; }
  // How many error boxes have been shown, and the last one's text: what refused a command.
  size_t errorBoxes() const { return errorBoxes_; }
  const std::wstring& lastError() const { return lastError_; }

 private:
  std::ostream& errors_;
  ProgressLine& progress_;
  size_t errorBoxes_ = 0;
  std::wstring lastError_;
};

class Timers final : public ITimers {
 public:
  void Start(int, unsigned, std::function<void()>) override {}
  void Stop(int) override {}
};

class Shell final : public IShell {
 public:
  void Execute(const std::wstring&, const std::wstring&, const std::wstring&) override {}
};

// The command line has no Options or About window: one asked for is closed at once.
class NoToolWindows final : public IToolWindows {
 public:
  ModalResult ShowModal(const ToolWindowDesign&, const ToolWindowEvents&) override {
    return ModalResult::Cancel;
  }
};

// Nor a splash window: the command line never runs the window's start.
class NoSplash final : public ISplashWindow {
 public:
  void Create() override {}
  int PictureWidth() const override { return 0; }
  int PictureHeight() const override { return 0; }
  void SetIconFromResource() override {}
  void SetClientSize(int, int) override {}
  int ClientHeight() const override { return 0; }
  void CentreOnScreen() override {}
  void SetProgressBounds(const Bounds&) override {}
  void Show() override {}
  void Release() override {}
};

// The command line keeps no settings: every key is out of reach.
class NoRegistry final : public IRegistry {
 public:
  std::unique_ptr<IRegKey> CreateKey(RegRoot, const std::wstring&) override { return nullptr; }
  std::unique_ptr<IRegKey> OpenKey(RegRoot, const std::wstring&) override { return nullptr; }
  bool DeleteKey(RegRoot, const std::wstring&) override { return false; }
};

// The platform's collation and clock.
std::unique_ptr<ISystem> MakeConsoleSystem();
// Whether the error stream is a terminal, so that a progress line makes sense there.
bool ErrorStreamIsTerminal();

}  // namespace vandrel::console
