// How long the real window takes for what a user does on a large archive:
//   vandrel_window_bench [COUNT]   (100000 unless told otherwise)
// Opening through File > Open, Select All, Find Next matching the last row, and a switch of
// the order each way; each from the command to what the user sees. Run under Wine with
// tests/wine/with-wine.sh; the times include the driver's 20 ms polling.
#include <cstdio>
#include <cwchar>

#include "app/menu_items.h"
#include "bench/win32/bench_support.h"
#include "tests/e2e/test_archives.h"

namespace {

using namespace vandrel;
using namespace vandrel::e2e;
constexpr Milliseconds kLong{120000};

void Report(const wchar_t* what, const bench::Stopwatch& watch, bool done) {
  if (done)
    std::wprintf(L"  %-36ls %6.0f ms\n", what, watch.Milliseconds());
  else
    std::wprintf(L"  %-36ls did not finish\n", what);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 100000;
  bench::PrepareSettings();
  const std::wstring archive = std::wstring(bench::kFolder) + L"\\window.img";
  const std::vector<ArchiveEntry> entries = NumberedEntries(count, DirectoryEndSectorV2(count));
  WriteV2(archive, entries, false);
  // Find Next looks for the last entry's name, from the first row.
  std::wstring last(entries.back().name.begin(), entries.back().name.end());
  WriteString(HKEY_CURRENT_USER, bench::kSettings, L"LastFindStr", last);
  WriteDword(HKEY_CURRENT_USER, bench::kSettings, L"SortType", 0);

  Program program({});
  HWND window = program.MainWindow();
  if (!window) return 1;
  HWND list = program.List();
  std::wprintf(L"%d entries:\n", count);

  PressKey(window, 'L', kCtrl);
  HWND open = program.Dialog(kPatience, L"Open...");
  if (!open) return 1;
  bench::Stopwatch opening;
  FillOpenDialog(open, archive);
  Report(L"File > Open to every row listed", opening,
         WaitUntil([&] { return RowCount(list) == count && IsEnabled(list); }, kLong));

  bench::Stopwatch selectAll;
  PostCommand(window, miSelectAll);
  Report(L"Edit > Select All", selectAll,
         WaitUntil(
             [&] {
               return SelectedCount(list) == count &&
                      program.StatusText(1) ==
                          std::to_wstring(count) + L" files (" + std::to_wstring(count) + L")";
             },
             kLong));

  bench::Stopwatch findNext;
  PressKey(window, VK_F3);
  Report(L"Find Next (F3) to the last row", findNext,
         WaitUntil(
             [&] {
               return program.StatusText(0) == L"Match found." && SelectedCount(list) == 1 &&
                      IsRowSelected(list, count - 1);
             },
             kLong));

  bench::Stopwatch byName;
  PostCommand(window, miSortName);
  Report(L"Tools > Sort > Name", byName,
         WaitUntil([&] { return program.StatusText(0) == L"List sorted."; }, kLong));

  PressKey(window, VK_F3);  // a status of its own, so the next sort's shows
  WaitUntil([&] { return program.StatusText(0) != L"List sorted."; }, kLong);
  bench::Stopwatch byOffset;
  PostCommand(window, miSortOffset);
  Report(L"Tools > Sort > Offset", byOffset,
         WaitUntil([&] { return program.StatusText(0) == L"List sorted."; }, kLong));

  program.Close();
  program.WaitForExit(kLong);
  std::filesystem::remove_all(std::filesystem::path(bench::kFolder));
  return 0;
}
