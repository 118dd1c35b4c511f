// How long the real window takes to rebuild a large archive and then to delete every row:
//   vandrel_edit_bench [COUNT]   (20000 unless told otherwise)
// Rebuild through Commands > Rebuild Archive, then Select All and Del; each answered Yes in
// the confirmation box with the keyboard and timed from that key to the final status text
// with the list usable again. Run under Wine with tests/wine/with-wine.sh; the times include
// the driver's 20 ms polling.
#include <cstdio>
#include <cwchar>

#include "app/menu_items.h"
#include "bench/win32/bench_support.h"
#include "tests/e2e/test_archives.h"

namespace {

using namespace vandrel;
using namespace vandrel::e2e;
constexpr Milliseconds kLong{600000};

// Answers the confirmation box with its default button, Yes, and returns the milliseconds
// until `done`; negative when either does not come.
double Confirmed(const Program& program, const std::function<bool()>& done) {
  HWND box = program.Dialog(kPatience, L"Confirm");
  if (!box) return -1;
  PressKey(box, VK_RETURN);
  bench::Stopwatch watch;
  return WaitUntil(done, kLong) ? watch.Milliseconds() : -1;
}

void Report(const wchar_t* what, double milliseconds, int count) {
  if (milliseconds < 0)
    std::wprintf(L"  %-40ls did not finish\n", what);
  else
    std::wprintf(L"  %-40ls %7.0f ms (%.3f ms a row)\n", what, milliseconds, milliseconds / count);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 20000;
  bench::PrepareSettings();
  const std::wstring archive = std::wstring(bench::kFolder) + L"\\edit.img";
  WriteV2(archive, NumberedEntries(count, DirectoryEndSectorV2(count)));

  Program program({archive});
  HWND window = program.MainWindow();
  if (!window) return 1;
  HWND list = program.List();
  if (!WaitUntil([&] { return RowCount(list) == count && IsEnabled(list); }, kLong)) return 1;
  std::wprintf(L"%d entries:\n", count);

  PostCommand(window, miRebuild);
  const double rebuild = Confirmed(program, [&] {
    return program.StatusText(0).rfind(L"Archive rebuilt in ", 0) == 0 && IsEnabled(list) &&
           RowCount(list) == count;
  });
  Report(L"Commands > Rebuild Archive, Yes", rebuild, count);

  PostCommand(window, miSelectAll);
  if (!WaitUntil([&] { return SelectedCount(list) == count; }, kLong)) return 1;
  PressKey(window, VK_DELETE);
  const double deletion = Confirmed(program, [&] {
    return program.StatusText(0) == L"File(s) deleted." && IsEnabled(list) && RowCount(list) == 0;
  });
  Report(L"Select All, Del, Yes", deletion, count);

  program.Close();
  program.WaitForExit(kLong);
  std::filesystem::remove_all(std::filesystem::path(bench::kFolder));
  return rebuild < 0 || deletion < 0 ? 1 : 0;
}
