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

void Shell::Execute(const std::wstring& verb, const std::wstring& file,
                    const std::wstring& parameters) {
  ShellExecuteW(nullptr, verb.c_str(), file.c_str(),
                parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

std::string System::SortKey(const std::wstring& text) const {
  // The same flags as CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE), which orders like
  // these keys; the key's length comes back in bytes, with its terminating zero. A name's key
  // fits the buffer on the stack, so sorting a large list asks once per name, not twice.
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  auto map = [&](char* key, int bytes) {
    return LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text.data(), static_cast<int>(text.size()),
                        reinterpret_cast<wchar_t*>(key), bytes);
  };
  char buffer[512];
  int bytes = map(buffer, sizeof buffer);
  if (bytes > 0) return std::string(buffer, static_cast<size_t>(bytes) - 1);
  bytes = map(nullptr, 0);
  if (bytes <= 0) return {};
  std::string key(static_cast<size_t>(bytes), '\0');
  map(key.data(), bytes);
  key.pop_back();
  return key;
}

uint32_t System::ClockSeed() const {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<uint32_t>(now.QuadPart);
}

}  // namespace vandrel::win32
