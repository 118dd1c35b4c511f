#pragma once
// The program's small modal tool windows (Options, About), built from their layouts in pixels.
#include "platform/tool_windows.h"
#include "platform/win32/ui_context_win32.h"

namespace vandrel::win32 {

class ToolWindows final : public IToolWindows {
 public:
  explicit ToolWindows(UiContext& context) : context_(context) {}
  ModalResult ShowModal(const ToolWindowDesign& design, const ToolWindowEvents& events) override;

 private:
  UiContext& context_;
};

}  // namespace vandrel::win32
