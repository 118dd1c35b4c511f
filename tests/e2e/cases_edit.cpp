// Delete, Rename and Rebuild in the real window, answered with real key presses in the real
// confirmation and input boxes, checked in the list, the status bar and the bytes on disk.
#include <algorithm>
#include <filesystem>

#include "app/menu_items.h"
#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

// The whole sectors of an entry, as its archive holds them.
std::string Area(const std::string& image, const ArchiveEntry& entry) {
  return image.substr(static_cast<size_t>(entry.offset) * kSector,
                      static_cast<size_t>(entry.size) * kSector);
}

std::string Record(const ArchiveEntry& entry) {
  std::string out;
  for (int32_t value : {entry.offset, entry.size})
    for (int shift = 0; shift < 32; shift += 8)
      out += static_cast<char>((static_cast<uint32_t>(value) >> shift) & 0xFF);
  std::string name = entry.name.substr(0, 24);
  name.resize(24, '\0');
  return out + name;
}

class EditTest : public E2eTest {
 protected:
  void Start(const std::wstring& name) {
    img = Path(name);
    program = StartToMainWindow({img}, window);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(program->List()) == int(entries.size()); }));
  }
  void TearDown() override {
    if (program) {
      EXPECT_TRUE(CloseAndWait(*program));
    }
  }
  bool Finished(const std::wstring& status) const {
    return WaitUntil(
        [&] { return program->StatusText(0) == status && IsEnabled(program->List()); });
  }
  std::vector<std::wstring> ExpectedRows(const std::vector<ArchiveEntry>& now) const {
    std::vector<std::wstring> rows;
    for (size_t i = 0; i < now.size(); ++i) rows.push_back(ExpectedRow(int(i), now[i]));
    return rows;
  }
  // Commands, Rebuild Archive, through the menu bar with the keyboard.
  void ChooseRebuild() const {
    PressKey(window, VK_F10);
    for (int key : {VK_RIGHT, VK_RIGHT, VK_DOWN, VK_DOWN}) {
      Sleep(150);
      PressKey(window, key);
    }
    Sleep(150);
    PressKey(window, VK_RETURN);
  }
  std::vector<std::wstring> FolderFiles() const {
    std::vector<std::wstring> names;
    for (auto& file : std::filesystem::directory_iterator(std::filesystem::path(folder())))
      names.push_back(file.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::vector<ArchiveEntry> entries;
  std::wstring img;
  std::unique_ptr<Program> program;
  HWND window = nullptr;
};

TEST_F(EditTest, DeletesTwoRowsThroughTheConfirmationBox) {
  entries = NumberedEntries(6, 0);
  WriteV1(Path(L"del.img"), entries);
  Start(L"del.img");
  const std::string data = ReadBytes(img);
  ASSERT_TRUE(ClickRows(program->List(), {1, 4}));
  PressKey(window, VK_DELETE);
  HWND box = program->Dialog(kPatience, L"Confirm");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L"Удалить выбранные файлы?                           ");
  PressKey(box, VK_RETURN);  // Yes is the default button
  ASSERT_TRUE(Finished(L"File(s) deleted."));

  const std::vector<ArchiveEntry> left = {entries[0], entries[2], entries[3], entries[5]};
  EXPECT_EQ(Rows(program->List()), ExpectedRows(left));
  std::string directory;
  for (const auto& entry : left) directory += Record(entry);
  EXPECT_EQ(ReadBytes(Path(L"del.dir")), directory);
  EXPECT_EQ(ReadBytes(img), data);
  EXPECT_EQ(FolderFiles(), (std::vector<std::wstring>{L"del.dir", L"del.img"}));
}

// Sorting moves the chosen entry to its new row; Del then deletes that entry, not the one
// that came to stand on its old row.
TEST_F(EditTest, DeleteAfterASortTakesTheEntryChosenBeforeIt) {
  entries = NumberedEntries(4, 0);
  const char* names[] = {"infernus.dff", "gang_rail67.ipl", "zebra.txd", "admiral.dff"};
  for (size_t i = 0; i < entries.size(); ++i) entries[i].name = names[i];
  WriteV1(Path(L"sort.img"), entries);
  Start(L"sort.img");
  ASSERT_TRUE(ClickRows(program->List(), {0}));
  PostCommand(window, miSortName);
  ASSERT_TRUE(Finished(L"List sorted."));
  EXPECT_EQ(SelectedCount(program->List()), 1);
  EXPECT_TRUE(IsRowSelected(program->List(), 2));
  EXPECT_EQ(CaretRow(program->List()), 2);

  PressKey(window, VK_DELETE);
  HWND box = program->Dialog(kPatience, L"Confirm");
  ASSERT_NE(box, nullptr);
  PressKey(box, VK_RETURN);
  ASSERT_TRUE(Finished(L"File(s) deleted."));
  EXPECT_EQ(ReadBytes(Path(L"sort.dir")),
            Record(entries[1]) + Record(entries[2]) + Record(entries[3]));
}

TEST_F(EditTest, RenamesTheFocusedRowThroughTheInputBox) {
  entries = NumberedEntries(6, DirectoryEndSectorV2(6));
  WriteV2(Path(L"ren.img"), entries);
  Start(L"ren.img");
  const std::string before = ReadBytes(img);
  ASSERT_TRUE(ClickRows(program->List(), {2}));
  PressKey(window, VK_F4);
  HWND box = program->Dialog(kPatience, L"Rename...");
  ASSERT_NE(box, nullptr);
  HWND edit = FindDescendant(box, L"Edit");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(WindowText(edit), L"model0002.dff");
  // The old name is selected, so typing replaces it. Another entry's name in other capitals is
  // refused, and the box comes back holding what was typed.
  TypeText(edit, L"MODEL0003.TXD");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == L"MODEL0003.TXD"; }));
  PressKey(edit, VK_RETURN);
  HWND refusal = program->Dialog(kPatience, L"Error");
  ASSERT_NE(refusal, nullptr);
  EXPECT_EQ(MessageBoxText(refusal),
            L"Another entry is already named 'model0003.txd' (the letters A to Z and a to z "
            L"count as the same); nothing was changed");
  PressKey(refusal, VK_RETURN);
  box = program->Dialog(kPatience, L"Rename...");
  ASSERT_NE(box, nullptr);
  edit = FindDescendant(box, L"Edit");
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(WindowText(edit), L"MODEL0003.TXD");
  EXPECT_EQ(ReadBytes(img), before);
  TypeText(edit, L"renamed.dff");
  ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == L"renamed.dff"; }));
  PressKey(edit, VK_RETURN);
  ASSERT_TRUE(Finished(L"File renamed."));

  entries[2].name = "renamed.dff";
  EXPECT_EQ(Rows(program->List()), ExpectedRows(entries));
  std::string expected = before;
  expected.replace(8 + 2 * 32, 32, Record(entries[2]));
  EXPECT_EQ(ReadBytes(img), expected);
}

TEST_F(EditTest, RebuildsThroughTheMenuAndTheConfirmationBox) {
  // Entries with a gap of two sectors before each, as deleting leaves them.
  entries = NumberedEntries(5, 0);
  int32_t sector = 2;
  for (auto& entry : entries) {
    entry.offset = sector;
    sector += entry.size + 2;
  }
  WriteV1(Path(L"reb.img"), entries);
  Start(L"reb.img");
  const std::string before = ReadBytes(img);
  ChooseRebuild();
  HWND box = program->Dialog(kPatience, L"Confirm");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box),
            L"Rebuilding the archive will take a few minutes.\n\nDo you wish to continue?");
  PressKey(box, VK_RETURN);
  ASSERT_TRUE(Finished(L"Archive rebuilt."));

  std::string data, directory;
  std::vector<ArchiveEntry> packed = entries;
  int32_t next = 0;
  for (size_t i = 0; i < packed.size(); ++i) {
    data += Area(before, entries[i]);
    packed[i].offset = next;
    next += packed[i].size;
    directory += Record(packed[i]);
  }
  EXPECT_EQ(Rows(program->List()), ExpectedRows(packed));
  EXPECT_EQ(ReadBytes(img), data);
  EXPECT_EQ(ReadBytes(Path(L"reb.dir")), directory);
  EXPECT_EQ(FolderFiles(), (std::vector<std::wstring>{L"reb.dir", L"reb.img"}));
}

// A game holds the archive open without letting anyone delete or rename it.
TEST_F(EditTest, ARebuildOfAnArchiveAnotherProgramHoldsChangesNothing) {
  entries = NumberedEntries(6, DirectoryEndSectorV2(6) + 3);
  WriteV2(Path(L"held.img"), entries);
  Start(L"held.img");
  const std::string before = ReadBytes(img);
  const std::vector<std::wstring> rows = Rows(program->List());
  HANDLE held = CreateFileW(img.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  ChooseRebuild();
  HWND confirm = program->Dialog(kPatience, L"Confirm");
  ASSERT_NE(confirm, nullptr);
  PressKey(confirm, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(confirm); }));
  HWND error = program->Dialog(kPatience, L"Error");
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(MessageBoxText(error), L"Ошибка открытия файла IMG!         ");
  PressKey(error, VK_RETURN);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(error) && IsEnabled(program->List()); }));
  CloseHandle(held);

  EXPECT_EQ(ReadBytes(img), before);
  EXPECT_EQ(Rows(program->List()), rows);
  EXPECT_EQ(FolderFiles(), (std::vector<std::wstring>{L"held.img"}));
}

}  // namespace
}  // namespace vandrel::e2e
