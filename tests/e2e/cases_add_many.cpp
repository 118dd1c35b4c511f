// Add with thousands of files chosen at once in the open dialog: their names together are far
// more than the dialog's first answer holds, and all of them must still arrive.
#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

constexpr int kFiles = 5000;
constexpr Milliseconds kListPatience{120000};

class AddManyTest : public E2eTest {};

// Run by hand (--gtest_also_run_disabled_tests): Wine's dialog rebuilds the whole field for
// every file the selection takes in, so selecting 5,000 files keeps it busy for minutes.
TEST_F(AddManyTest, DISABLED_FiveThousandFilesSelectedInTheListAreAllAdded) {
  const std::vector<ArchiveEntry> entries = NumberedEntries(2, 0);
  WriteV1(Path(L"many.img"), entries);
  const std::wstring src = Path(L"src");
  std::filesystem::create_directories(std::filesystem::path(src));
  // Names of 24 characters, the longest an entry takes: 5,000 of them quoted make 135,000
  // characters.
  auto name = [](int i) {
    char text[32];
    std::snprintf(text, sizeof text, "vehicle_model_part%02d.%c", i / 100, 'a' + i % 26);
    return std::string(text) + std::to_string(i % 100 + 100).substr(1);
  };
  for (int i = 0; i < kFiles; ++i) {
    const std::string file = name(i);
    WriteBytes(src + L"\\" + std::wstring(file.begin(), file.end()), file);
  }

  HWND window = nullptr;
  auto program = StartToMainWindow({Path(L"many.img")}, window);
  ASSERT_NE(window, nullptr);
  PressKey(window, 'A', kCtrl);
  HWND open = program->Dialog(kPatience, L"Добавить... ");
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(FillOpenDialog(open, src));
  ASSERT_TRUE(WaitUntil([&] { return OpenDialogItemCount(open) == kFiles; }, kListPatience));
  // A click on the first file, then Shift+End: every file selected, as a user selects them.
  HWND files = FindDescendant(open, L"SysListView32");
  ClickAt(files, {20, 10});
  PressKey(files, VK_END, kShift);
  HWND field = FindDescendant(FindDescendant(open, L"ComboBoxEx32", 1148), L"Edit");
  ASSERT_TRUE(
      WaitUntil([&] { return SendMessageW(field, WM_GETTEXTLENGTH, 0, 0) == kFiles * 27 - 1; }));
  EXPECT_TRUE(SaveScreenshot(open, OutputPath(L"add-five-thousand.bmp")));
  PressButton(open, IDOK);
  ASSERT_TRUE(
      WaitUntil([&] { return program->StatusText(0) == L"File(s) added."; }, kListPatience));

  const std::vector<std::wstring> rows = Rows(program->List());
  ASSERT_EQ(rows.size(), static_cast<size_t>(2 + kFiles));
  EXPECT_EQ(CaretRow(program->List()), 1 + kFiles);
  // Every file once, each in its own sector behind the ones before.
  std::vector<std::string> added;
  for (int row = 2; row < 2 + kFiles; ++row) {
    const std::wstring& text = rows[static_cast<size_t>(row)];
    const size_t from = text.find(L'%') + 1;
    added.emplace_back(text.begin() + static_cast<std::ptrdiff_t>(from),
                       text.begin() + static_cast<std::ptrdiff_t>(text.find(L'?')));
    EXPECT_EQ(text, ExpectedRow(row, {added.back(), 1 + row, 1}));
  }
  std::sort(added.begin(), added.end());
  std::vector<std::string> expected;
  for (int i = 0; i < kFiles; ++i) expected.push_back(name(i));
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(added, expected);
  EXPECT_TRUE(CloseAndWait(*program));
}

}  // namespace
}  // namespace vandrel::e2e
