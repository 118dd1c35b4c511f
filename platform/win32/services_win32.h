#pragma once
// Timers, the shell's "open" verb, the locale's collation and the clock.
#include <map>

#include "platform/services.h"
#include "platform/win32/ui_context_win32.h"

namespace vandrel::win32 {

// Timers of the main window; their ticks arrive through its WM_TIMER.
class Timers final : public ITimers {
 public:
  explicit Timers(UiContext& context) : context_(context) {}
  void Start(int id, unsigned intervalMs, std::function<void()> onTick) override;
  void Stop(int id) override;
  void Tick(UINT_PTR id);

 private:
  UiContext& context_;
  std::map<UINT_PTR, std::function<void()>> running_;
};

class Shell final : public IShell {
 public:
  void Execute(const std::wstring& verb, const std::wstring& file,
               const std::wstring& parameters) override;
};

class System final : public ISystem {
 public:
  void AppendSortKey(std::string& keys, const std::wstring& text) const override;
  uint32_t TickCount() const override { return GetTickCount(); }
  uint32_t ClockSeed() const override;
  void Wait(uint32_t ms) override { Sleep(ms); }
};

}  // namespace vandrel::win32
