// The console's collation and clock on POSIX systems.
#include <unistd.h>

#include <chrono>
#include <cwchar>
#include <cwctype>
#include <thread>

#include "platform/console/console_ui.h"

namespace vandrel::console {
namespace {

class PosixSystem final : public ISystem {
 public:
  // The locale's collation of the case-folded text, as a key whose byte order is that order.
  void AppendSortKey(std::string& keys, const std::wstring& text) const override {
    std::wstring folded = text;
    for (auto& c : folded) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    std::wstring collated(std::wcsxfrm(nullptr, folded.c_str(), 0) + 1, L'\0');
    collated.resize(std::wcsxfrm(collated.data(), folded.c_str(), collated.size()));
    for (wchar_t c : collated) {
      const auto point = static_cast<uint32_t>(c);
      for (int shift : {24, 16, 8, 0}) keys += static_cast<char>((point >> shift) & 0xFF);
    }
  }

  uint32_t TickCount() const override {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }

  uint32_t ClockSeed() const override {
    return static_cast<uint32_t>(std::chrono::system_clock::now().time_since_epoch().count());
  }

  void Wait(uint32_t ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
};

}  // namespace

std::unique_ptr<ISystem> MakeConsoleSystem() { return std::make_unique<PosixSystem>(); }

bool ErrorStreamIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace vandrel::console
