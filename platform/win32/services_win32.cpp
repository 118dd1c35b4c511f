#include "platform/win32/services_win32.h"

#include <algorithm>
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

void System::AppendSortKey(std::string& keys, const std::wstring& text) const {
  // The same flags as CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE), which orders like
  // these keys; the key's length comes back in bytes, with its terminating zero. A name's key
  // fits the room made for it, so sorting a large list asks once a name, not twice.
  constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
  constexpr int kNameKeyRoom = 512;
  const size_t start = keys.size();
  auto map = [&](int bytes) {
    return LCMapStringW(LOCALE_USER_DEFAULT, kFlags, text.data(), static_cast<int>(text.size()),
                        bytes ? reinterpret_cast<wchar_t*>(keys.data() + start) : nullptr, bytes);
  };
  keys.resize(start + kNameKeyRoom);
  int bytes = map(kNameKeyRoom);
  if (bytes <= 0) {
    bytes = map(0);
    keys.resize(start + static_cast<size_t>(std::max(bytes, 0)));
    if (bytes > 0) map(bytes);
  }
  keys.resize(start + static_cast<size_t>(std::max(bytes - 1, 0)));
}

uint32_t System::ClockSeed() const {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<uint32_t>(now.QuadPart);
}

}  // namespace vandrel::win32
