// How long the real program takes from its start to a shown list of a large archive:
//   vandrel_startup_bench [--by-name] [COUNT...]   (16000 and 100000 unless told otherwise)
// Run under Wine with tests/wine/with-wine.sh; prints the best and the median of five starts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <vector>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_archives.h"

namespace {

using namespace vandrel::e2e;
using Clock = std::chrono::steady_clock;

constexpr int kStarts = 5;

// Milliseconds until the window is on screen holding every row; negative when it never was.
double TimeOneStart(const std::wstring& archive, int count) {
  auto start = Clock::now();
  Program program({archive});
  HWND window = program.MainWindow(Milliseconds(60000));
  bool shown =
      window && WaitUntil([&] { return RowCount(program.List()) == count; }, Milliseconds(60000));
  auto elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  program.Close();
  program.WaitForExit(Milliseconds(30000));
  return shown ? elapsed : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<int> counts;
  bool byName = false;
  for (int i = 1; i < argc; ++i) {
    if (std::wstring(argv[i]) == L"--by-name")
      byName = true;
    else
      counts.push_back(std::wcstol(argv[i], nullptr, 10));
  }
  if (counts.empty()) counts = {16000, 100000};

  const std::wstring folder = L"C:\\e2e\\bench";
  std::filesystem::create_directories(std::filesystem::path(folder));
  // Straight to the main window: the first-run warning counts as seen.
  const wchar_t* settings = L"SOFTWARE\\Quarrymoor\\Vandrel";
  WriteDword(HKEY_CURRENT_USER, settings, L"bWarningShown", 1);
  WriteDword(HKEY_CURRENT_USER, settings, L"SortType", byName ? 1 : 0);

  for (int count : counts) {
    std::wstring archive = folder + L"\\bench" + std::to_wstring(count) + L".img";
    WriteV2(archive, NumberedEntries(count, DirectoryEndSectorV2(count)), false);
    std::vector<double> times;
    for (int i = 0; i < kStarts; ++i) times.push_back(TimeOneStart(archive, count));
    std::sort(times.begin(), times.end());
    if (times.front() < 0) {
      std::wprintf(L"%d entries: the list was not shown\n", count);
      continue;
    }
    std::wprintf(L"%d entries in %ls order: best %.0f ms, median %.0f ms (of %d starts)\n", count,
                 byName ? L"name" : L"directory", times.front(), times[times.size() / 2], kStarts);
  }
  std::filesystem::remove_all(std::filesystem::path(folder));
  return 0;
}
