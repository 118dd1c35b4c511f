#include "platform/scripted/scripted_windows.h"

#include <stdexcept>

namespace vandrel::scripted {

bool ToolWindow::IsChecked(int control) const {
  auto at = checked_.find(control);
  return at != checked_.end() && at->second;
}

void ToolWindow::Click(int control) {
  if (result_) return;  // the window has gone
  for (const auto& item : design_.controls)
    if (item.id == control && item.kind == ControlKind::CheckBox)
      checked_[control] = !IsChecked(control);
  if (events_.onClick) events_.onClick(*this, control);
}

int ToolWindow::ControlNamed(const std::wstring& text) const {
  for (const auto& item : design_.controls)
    if (item.text == text) return item.id;
  throw std::logic_error("the window has no such control");
}

ModalResult ToolWindows::ShowModal(const ToolWindowDesign& design, const ToolWindowEvents& events) {
  ToolWindow window(design, events);
  if (events.onCreate) events.onCreate(window);
  journal_.push_back(L"tool-window:" + design.caption);
  if (!users.empty()) {
    UserActions user = std::move(users.front());
    users.pop_front();
    user(window);
  }
  if (!window.result()) window.EndModal(ModalResult::Cancel);  // the close box
  journal_.push_back(L"tool-window-closed:" + design.caption);
  shown_.push_back(window);
  return *window.result();
}

void SplashWindow::SetClientSize(int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
}

void SplashWindow::Show() {
  visible_ = true;
  journal_.push_back(L"splash:show");
}

void SplashWindow::Release() {
  visible_ = false;
  released_ = true;
  journal_.push_back(L"splash:release");
}

}  // namespace vandrel::scripted
