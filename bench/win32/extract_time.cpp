// Extraction in the real window against a plain program writing the same files:
//   vandrel_extract_bench [COUNT]   (20000 unless told otherwise)
// The plain part creates and writes each file with CreateFileW, WriteFile and CloseHandle in
// this very process; Vandrel extracts every entry of an archive of the same files through its
// window. Run under Wine with tests/wine/with-wine.sh, so both run under the same Wine.
#include <cstdio>
#include <cwchar>

#include "app/menu_items.h"
#include "bench/win32/bench_support.h"
#include "tests/e2e/test_archives.h"

namespace {

using namespace vandrel;
using namespace vandrel::e2e;
constexpr Milliseconds kLong{1800000};

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// Milliseconds to write every entry's whole sectors as a file of its own; negative on failure.
double PlainProgram(const std::vector<ArchiveEntry>& entries, const std::wstring& folder) {
  std::filesystem::create_directories(std::filesystem::path(folder));
  std::string data(3 * kSector, 'x');
  bench::Stopwatch watch;
  for (const auto& entry : entries) {
    std::wstring path = folder + L"\\" + Wide(entry.name);
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    DWORD written = 0;
    bool ok =
        WriteFile(file, data.data(), static_cast<DWORD>(entry.size) * kSector, &written, nullptr);
    CloseHandle(file);
    if (!ok) return -1;
  }
  return watch.Milliseconds();
}

// Milliseconds from the folder browser's OK to the last file extracted; negative on failure.
double Vandrel(const std::wstring& archive, int count, const std::wstring& folder) {
  std::filesystem::create_directories(std::filesystem::path(folder));
  Program program({archive});
  HWND window = program.MainWindow();
  if (!window || !WaitUntil([&] { return RowCount(program.List()) == count; }, kLong)) return -1;
  PostCommand(window, miSelectAll);
  if (!WaitUntil([&] { return SelectedCount(program.List()) == count; })) return -1;
  PressKey(window, 'E', kCtrl);
  HWND browser = program.Dialog(kPatience, L"Extract Files...");
  if (!browser || !program.ChooseFolder(browser, folder)) return -1;
  bench::Stopwatch watch;
  bool done = WaitUntil(
      [&] { return program.StatusText(0) == L"File(s) extracted." && IsEnabled(program.List()); },
      kLong);
  double elapsed = watch.Milliseconds();
  program.Close();
  program.WaitForExit(kLong);
  return done ? elapsed : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int count = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : 20000;
  bench::PrepareSettings();
  const std::wstring folder = bench::kFolder;
  const std::wstring archive = folder + L"\\extract.img";
  const std::vector<ArchiveEntry> entries = NumberedEntries(count, DirectoryEndSectorV2(count));
  WriteV2(archive, entries);

  double plain = PlainProgram(entries, folder + L"\\plain");
  double vandrel = Vandrel(archive, count, folder + L"\\vandrel");
  std::filesystem::remove_all(std::filesystem::path(folder));
  if (plain < 0 || vandrel < 0) {
    std::wprintf(L"%d entries: a run failed (plain %.0f ms, Vandrel %.0f ms)\n", count, plain,
                 vandrel);
    return 1;
  }
  std::wprintf(
      L"%d entries: plain program %.0f ms (%.2f ms each), Vandrel %.0f ms (%.2f ms "
      L"each), ratio %.2f\n",
      count, plain, plain / count, vandrel, vandrel / count, vandrel / plain);
  return 0;
}
