#pragma once
// The scripted tool windows and splash window: they keep what the program set, and a test plays
// the user's part in a tool window while it is up.
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/scripted/scripted_ui.h"
#include "platform/tool_windows.h"

namespace vandrel::scripted {

class ToolWindow final : public IToolWindow {
 public:
  ToolWindow(const ToolWindowDesign& design, const ToolWindowEvents& events)
      : design_(design), events_(events) {}
  void SetIconFromResource() override { iconSet_ = true; }
  void CentreOnScreen() override { centred_ = true; }
  bool IsChecked(int control) const override;
  void SetChecked(int control, bool checked) override { checked_[control] = checked; }
  void EndModal(ModalResult result) override { result_ = result; }

  // The user clicks a control: a check box changes its state first, as a real one does.
  void Click(int control);
  // The user finds a control by its text, as it is shown.
  int ControlNamed(const std::wstring& text) const;
  void ClickNamed(const std::wstring& text) { Click(ControlNamed(text)); }
  bool IsCheckedNamed(const std::wstring& text) const { return IsChecked(ControlNamed(text)); }

  const ToolWindowDesign& design() const { return design_; }
  bool iconSet() const { return iconSet_; }
  bool centred() const { return centred_; }
  const std::optional<ModalResult>& result() const { return result_; }

 private:
  ToolWindowDesign design_;
  ToolWindowEvents events_;
  std::map<int, bool> checked_;
  bool iconSet_ = false, centred_ = false;
  std::optional<ModalResult> result_;
};

class ToolWindows final : public IToolWindows {
 public:
  explicit ToolWindows(Journal& journal) : journal_(journal) {}
  ModalResult ShowModal(const ToolWindowDesign& design, const ToolWindowEvents& events) override;

  // What the user does in each window to come, in order: once the actions are done and the
  // window has not ended, the user closes it with its close box. No actions: the close box.
  using UserActions = std::function<void(ToolWindow&)>;
  std::deque<UserActions> users;
  // Every window shown, as it was when it ended.
  const std::vector<ToolWindow>& shown() const { return shown_; }

 private:
  Journal& journal_;
  std::vector<ToolWindow> shown_;
};

class SplashWindow final : public ISplashWindow {
 public:
  explicit SplashWindow(Journal& journal) : journal_(journal) {}
  void Create() override { created_ = true; }
  int PictureWidth() const override { return 256; }
  int PictureHeight() const override { return 128; }
  void SetIconFromResource() override { iconSet_ = true; }
  void SetClientSize(int width, int height) override;
  int ClientHeight() const override { return clientHeight_; }
  void CentreOnScreen() override { centred_ = true; }
  void SetProgressBounds(const Bounds& bounds) override { progress_.push_back(bounds); }
  void Show() override;
  void Release() override;

  bool created() const { return created_; }
  bool iconSet() const { return iconSet_; }
  bool centred() const { return centred_; }
  bool visible() const { return visible_; }
  bool released() const { return released_; }
  int clientWidth() const { return clientWidth_; }
  // Every place the progress bar was given, in order.
  const std::vector<Bounds>& progress() const { return progress_; }

 private:
  Journal& journal_;
  bool created_ = false, iconSet_ = false, centred_ = false, visible_ = false, released_ = false;
  int clientWidth_ = 0, clientHeight_ = 0;
  std::vector<Bounds> progress_;
};

}  // namespace vandrel::scripted
