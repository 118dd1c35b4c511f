// Extract, Add and Replace in the real window, through the shell's folder browser and the
// system's open dialog, checked on disk and in the list afterwards.
#include <algorithm>
#include <filesystem>

#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

// The whole sectors of an entry, as its archive holds them.
std::string Area(const std::string& image, const ArchiveEntry& entry) {
  return image.substr(static_cast<size_t>(entry.offset) * kSector,
                      static_cast<size_t>(entry.size) * kSector);
}

std::string Padded(std::string data) {
  data.resize((data.size() + kSector - 1) / kSector * kSector, '\0');
  return data;
}

std::string Bytes(size_t count, char first) {
  std::string bytes(count, '\0');
  for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<char>(first + i % 61);
  return bytes;
}

class OpsTest : public E2eTest {
 protected:
  void SetUp() override {
    entries = NumberedEntries(6, DirectoryEndSectorV2(6));
    WriteV2(Path(L"ops.img"), entries);
    program = StartToMainWindow({Path(L"ops.img")}, window);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(program->List()) == 6; }));
  }
  void TearDown() override { EXPECT_TRUE(CloseAndWait(*program)); }

  bool Finished(const std::wstring& status) const {
    return WaitUntil(
        [&] { return program->StatusText(0) == status && IsEnabled(program->List()); });
  }

  std::vector<ArchiveEntry> entries;
  std::unique_ptr<Program> program;
  HWND window = nullptr;
};

TEST_F(OpsTest, ExtractsTheSelectedEntriesIntoTheFolderChosenInTheBrowser) {
  const std::wstring out = Path(L"out");
  std::filesystem::create_directories(std::filesystem::path(out));
  const std::vector<std::wstring> rows = Rows(program->List());
  ASSERT_TRUE(ClickRows(program->List(), {1, 4}));
  PressKey(window, 'E', kCtrl);
  HWND browser = program->Dialog(kPatience, L"Extract Files...");
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(program->ChooseFolder(browser, out));
  ASSERT_TRUE(Finished(L"File(s) extracted."));

  const std::string image = ReadBytes(Path(L"ops.img"));
  std::vector<std::wstring> written;
  for (auto& file : std::filesystem::directory_iterator(std::filesystem::path(out)))
    written.push_back(file.path().filename().wstring());
  std::sort(written.begin(), written.end());
  EXPECT_EQ(written, (std::vector<std::wstring>{L"model0001.txd", L"model0004.dff"}));
  EXPECT_EQ(ReadBytes(out + L"\\model0001.txd"), Area(image, entries[1]));
  EXPECT_EQ(ReadBytes(out + L"\\model0004.dff"), Area(image, entries[4]));
  EXPECT_EQ(Rows(program->List()), rows);
  EXPECT_EQ(SelectedCount(program->List()), 2);
  ASSERT_TRUE(CloseAndWait(*program));
  auto remembered = Setting(L"LastFileDir");
  ASSERT_TRUE(remembered.has_value());
  EXPECT_EQ(_wcsicmp(remembered->text.c_str(), (out + L"\\").c_str()), 0) << remembered->text;
}

TEST_F(OpsTest, AddsTwoFilesChosenInTheOpenDialog) {
  const std::wstring src = Path(L"src");
  std::filesystem::create_directories(std::filesystem::path(src));
  const std::string first = Bytes(3000, 'a'), second = Bytes(2048, 'A');
  WriteBytes(src + L"\\first.dff", first);
  WriteBytes(src + L"\\second.txd", second);
  const std::string before = ReadBytes(Path(L"ops.img"));
  PressKey(window, 'A', kCtrl);
  HWND open = program->Dialog(kPatience, L"Добавить... ");
  ASSERT_NE(open, nullptr);
  // Into the folder first, then both names at once, as a user types them.
  ASSERT_TRUE(FillOpenDialog(open, src));
  Sleep(500);
  ASSERT_TRUE(IsWindow(open));
  ASSERT_TRUE(FillOpenDialog(open, L"\"first.dff\" \"second.txd\""));
  ASSERT_TRUE(Finished(L"File(s) added."));

  const int32_t end = entries.back().offset + entries.back().size;
  std::vector<ArchiveEntry> added = {{"first.dff", end, 2}, {"second.txd", end + 2, 1}};
  ASSERT_EQ(RowCount(program->List()), 8);
  // The dialog may hand the names over in either order.
  if (Rows(program->List())[6].find(L"second") != std::wstring::npos) {
    added = {{"second.txd", end, 1}, {"first.dff", end + 1, 2}};
  }
  EXPECT_EQ(Rows(program->List())[6], ExpectedRow(6, added[0]));
  EXPECT_EQ(Rows(program->List())[7], ExpectedRow(7, added[1]));
  EXPECT_EQ(CaretRow(program->List()), 7);
  const std::string image = ReadBytes(Path(L"ops.img"));
  for (const auto& entry : added)
    EXPECT_EQ(Area(image, entry), Padded(entry.name == "first.dff" ? first : second));
  for (const auto& entry : entries) EXPECT_EQ(Area(image, entry), Area(before, entry));
}

TEST_F(OpsTest, ReplacesTheSelectedEntryWithAFileTooBigForItsPlace) {
  const std::string before = ReadBytes(Path(L"ops.img"));
  const std::string data = Bytes(3 * kSector + 1, 'r');  // entry 2 has three sectors
  WriteBytes(Path(L"new.dff"), data);
  ASSERT_TRUE(ClickRows(program->List(), {2}));
  PressKey(window, 'R', kCtrl);
  HWND open = program->Dialog(kPatience, L"Замена... ");
  ASSERT_NE(open, nullptr);
  ASSERT_TRUE(FillOpenDialog(open, Path(L"new.dff")));
  ASSERT_TRUE(Finished(L"File replaced."));

  const ArchiveEntry moved{entries[2].name, entries.back().offset + entries.back().size, 4};
  EXPECT_EQ(Rows(program->List())[2], ExpectedRow(2, moved));
  const std::string image = ReadBytes(Path(L"ops.img"));
  EXPECT_EQ(Area(image, moved), Padded(data));
  EXPECT_EQ(Area(image, entries[2]), Area(before, entries[2]));  // the old sectors stay
}

}  // namespace
}  // namespace vandrel::e2e
