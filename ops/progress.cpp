#include "ops/progress.h"

#include "app/main_window.h"

namespace vandrel {

int Percent(int n, int m) {
  const long long scaled = 100LL * n, whole = scaled / m, rest = scaled % m;
  const bool up = 2 * rest > m || (2 * rest == m && whole % 2 != 0);
  return static_cast<int>(up ? whole + 1 : whole);
}

std::wstring ProgressCount(const std::wstring& prefix, int n, int m) {
  return prefix + std::to_wstring(n) + L"/" + std::to_wstring(m);
}

std::wstring ProgressWithPercent(const std::wstring& prefix, int n, int m) {
  return ProgressCount(prefix, n, m) + L" (" + std::to_wstring(Percent(n, m)) + L"%)";
}

bool ProgressPace::Due(int step) {
  const uint32_t now = clock_.TickCount();
  // The clock wraps; the difference of two readings does not mind.
  if (step != 1 && step != steps_ && now - shownAt_ < kProgressIntervalMs) return false;
  shownAt_ = now;
  return true;
}

void TfmMain::ShowProgress(ProgressPace& pace, int n, const wchar_t* prefix, ProgressText text) {
  if (!pace.Due(n)) return;
  Status(text(prefix, n, pace.steps()));
  p_.window.ProcessMessages();
}

}  // namespace vandrel
