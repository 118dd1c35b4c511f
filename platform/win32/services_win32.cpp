#include "platform/win32/services_win32.h"

#include <utility>

namespace vandrel::win32 {

void Timers::Start(int id, unsigned intervalMs, std::function<void()> onTick) {
  running_[static_cast<UINT_PTR>(id)] = std::move(onTick);
  SetTimer(context_.main, static_cast<UINT_PTR>(id), intervalMs, nullptr);
}

void Timers::Stop(int id) {
  KillTimer(context_.main, static_cast<UINT_PTR>(id));
  running_.erase(static_cast<UINT_PTR>(id));
}

void Timers::Tick(UINT_PTR id) {
  auto found = running_.find(id);
  if (found == running_.end()) return;
  // The handler may stop its own timer; it runs from a copy.
  std::function<void()> onTick = found->second;
  context_.guard(onTick);
}

void Shell::Open(const std::wstring& file, const std::wstring& parameters) {
  ShellExecuteW(context_.main, L"open", file.c_str(),
                parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

int System::Collate(const std::wstring& a, const std::wstring& b) const {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) -
         CSTR_EQUAL;
}

uint32_t System::ClockSeed() const {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<uint32_t>(now.QuadPart);
}

}  // namespace vandrel::win32
