#pragma once
// What the window benchmarks share: a folder the folder browser reaches, the settings of a
// user who has seen the first-run warning and turned the splash off, and a stopwatch.
#include <chrono>
#include <filesystem>
#include <string>

#include "tests/e2e/driver.h"

namespace vandrel::bench {

inline constexpr wchar_t kFolder[] = L"C:\\e2e\\bench";
inline constexpr wchar_t kSettings[] = L"SOFTWARE\\Quarrymoor\\Vandrel";

inline void PrepareSettings() {
  std::filesystem::create_directories(std::filesystem::path(kFolder));
  e2e::WriteDword(HKEY_CURRENT_USER, kSettings, L"bWarningShown", 1);
  e2e::WriteDword(HKEY_CURRENT_USER, kSettings, L"bShowSplash", 0);
}

class Stopwatch {
 public:
  double Milliseconds() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
        .count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace vandrel::bench
