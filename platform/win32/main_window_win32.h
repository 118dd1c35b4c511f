#pragma once
// The main window: its frame, the entry list, the status bar and the menus, and the
// translation of their messages into the program's events.
#include <string>

#include "app/main_window.h"
#include "platform/win32/dialogs_win32.h"
#include "platform/win32/list_box_win32.h"
#include "platform/win32/menus_win32.h"
#include "platform/win32/services_win32.h"
#include "platform/win32/status_bar_win32.h"
#include "platform/window.h"

namespace vandrel::win32 {

struct WindowParts {
  ListBox& list;
  StatusBar& statusBar;
  Menus& menus;
  Dialogs& dialogs;
  Timers& timers;
};

class MainWindow final : public IWindow {
 public:
  static constexpr int kOuterWidth = 350, kOuterHeight = 254, kMinHeight = 225;

  MainWindow(UiContext& context, WindowParts parts);
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;
  ~MainWindow() override;

  // Creates the window hidden; from now on its events go to `program`.
  void Create(TfmMain& program);
  // Destroys the window once the message loop has ended; the program saves its settings.
  void Destroy();
  // Runs one message taken from the queue: a shortcut key first, then the find dialog's keys,
  // then the usual translation and dispatch.
  void Dispatch(MSG& message);

  void SetCaption(const std::wstring& caption) override;
  void SetAppTitle(const std::wstring& title) override { appTitle_ = title; }
  void SetCursor(Cursor cursor) override;
  void ProcessMessages() override;
  int OuterWidth() const override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  void SetListBounds(int left, int top, int width, int height) override;
  void SetIconFromResource() override;
  void CentreOnScreen() override;
  void Show() override;
  void Close() override;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void Run(const std::function<void()>& handler) { context_.guard(handler); }
  void CreateControls();
  void Command(WPARAM wParam, LPARAM lParam);
  void MenuOpening(WPARAM wParam, LPARAM lParam);
  void ShowShortcutMenu(LPARAM lParam);
  void FilesDropped(HDROP drop);
  void DrawRow(const DRAWITEMSTRUCT& item);
  void Paint();
  void Destroyed();
  bool TakeShortcut(const MSG& message);

  UiContext& context_;
  WindowParts parts_;
  TfmMain* program_ = nullptr;
  HWND window_ = nullptr;
  std::wstring appTitle_;
  Cursor cursor_ = Cursor::Default;
};

}  // namespace vandrel::win32
