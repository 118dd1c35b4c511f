// The archive held open by another program the way a running game holds it: read access,
// sharing read and write but not delete. Opening, listing, extracting, adding and replacing
// work, since Windows lets them; what must replace one of the archive's files (deleting from a
// version-1 archive, rebuilding either layout) says the archive is in use and changes nothing.
#include <filesystem>

#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

// The handle a running game keeps on an archive's file while it plays.
class HeldByGame {
 public:
  explicit HeldByGame(const std::wstring& path)
      : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
  ~HeldByGame() {
    if (held()) CloseHandle(handle_);
  }
  HeldByGame(const HeldByGame&) = delete;
  HeldByGame& operator=(const HeldByGame&) = delete;
  bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class SharedAccessTest : public E2eTest, public ::testing::WithParamInterface<bool> {
 protected:
  bool v2() const { return GetParam(); }

  void SetUp() override {
    entries = NumberedEntries(6, v2() ? DirectoryEndSectorV2(6) : 0);
    if (v2())
      WriteV2(img, entries);
    else
      WriteV1(img, entries);
    for (const auto& file : Files()) {
      held.push_back(std::make_unique<HeldByGame>(file));
      ASSERT_TRUE(held.back()->held());
    }
    program = StartToMainWindow({img}, window);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(program->List()) == 6; }));
  }
  void TearDown() override { EXPECT_TRUE(CloseAndWait(*program)); }

  std::vector<std::wstring> Files() const {
    return v2() ? std::vector{img} : std::vector{img, Path(L"held.dir")};
  }
  std::vector<std::string> Contents() const {
    std::vector<std::string> contents;
    for (const auto& file : Files()) contents.push_back(ReadBytes(file));
    return contents;
  }
  bool Finished(const std::wstring& status) const {
    return WaitUntil(
        [&] { return program->StatusText(0) == status && IsEnabled(program->List()); });
  }
  // Answers the confirmation with its default button, Yes, by the keyboard.
  bool Confirm() const {
    HWND box = program->Dialog(kPatience, L"Confirm");
    if (box == nullptr) return false;
    PressKey(box, VK_RETURN);
    return true;
  }
  // The text of the error box that follows, closed by the keyboard.
  std::wstring ErrorText() const {
    HWND box = program->Dialog(kPatience, L"Error");
    if (box == nullptr) return L"(no error box)";
    std::wstring text = MessageBoxText(box);
    PressKey(box, VK_RETURN);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
  }
  // Commands, Rebuild Archive through the menu bar by the keyboard.
  void ChooseRebuild() const {
    PressKey(window, VK_F10);
    PressKey(window, VK_RIGHT);
    PressKey(window, VK_RIGHT);
    PressKey(window, VK_DOWN);
    PressKey(window, VK_DOWN);
    PressKey(window, VK_RETURN);
  }

  const std::wstring img = Path(L"held.img");
  std::vector<ArchiveEntry> entries;
  std::vector<std::unique_ptr<HeldByGame>> held;
  std::unique_ptr<Program> program;
  HWND window = nullptr;
};

TEST_P(SharedAccessTest, ExtractsAddsAndReplacesWhileHeld) {
  const std::wstring out = Path(L"out");
  std::filesystem::create_directories(std::filesystem::path(out));
  ASSERT_TRUE(ClickRows(program->List(), {1}));
  PressKey(window, 'E', kCtrl);
  HWND browser = program->Dialog(kPatience, L"Extract Files...");
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(program->ChooseFolder(browser, out));
  ASSERT_TRUE(Finished(L"File(s) extracted."));
  const std::string image = ReadBytes(img);
  EXPECT_EQ(ReadBytes(out + L"\\" + std::wstring(entries[1].name.begin(), entries[1].name.end())),
            image.substr(size_t(entries[1].offset) * kSector, size_t(entries[1].size) * kSector));

  WriteBytes(Path(L"added.col"), std::string(100, 'a'));
  PressKey(window, 'A', kCtrl);
  HWND add = program->Dialog(kPatience, L"Добавить... ");
  ASSERT_NE(add, nullptr);
  ASSERT_TRUE(FillOpenDialog(add, Path(L"added.col")));
  ASSERT_TRUE(Finished(L"File(s) added."));
  ASSERT_EQ(RowCount(program->List()), 7);

  WriteBytes(Path(L"small.dff"), std::string(10, 'r'));
  ASSERT_TRUE(ClickRows(program->List(), {0}));
  PressKey(window, 'R', kCtrl);
  HWND replace = program->Dialog(kPatience, L"Замена... ");
  ASSERT_NE(replace, nullptr);
  ASSERT_TRUE(FillOpenDialog(replace, Path(L"small.dff")));
  ASSERT_TRUE(Finished(v2() ? L"File replaced." : L"Файл заменён  "));
  std::string area = std::string(10, 'r');
  area.resize(size_t(entries[0].size) * kSector, '\0');
  EXPECT_EQ(ReadBytes(img).substr(size_t(entries[0].offset) * kSector, area.size()), area);
}

TEST_P(SharedAccessTest, RebuildSaysTheArchiveIsInUseAndChangesNothing) {
  const auto before = Contents();
  ChooseRebuild();
  ASSERT_TRUE(Confirm());
  EXPECT_EQ(ErrorText(), v2() ? L"Ошибка открытия файла IMG!         "
                              : L"IMG file error! It might be in use.. exiting...");
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(program->List()); }));
  EXPECT_EQ(Contents(), before);
  EXPECT_EQ(RowCount(program->List()), 6);
}

// Version 2 rewrites its directory in place, which Windows lets it do; version 1 would have to
// replace its .dir.
TEST_P(SharedAccessTest, DeleteWorksInPlaceOrSaysTheDirectoryIsInUse) {
  const auto before = Contents();
  ASSERT_TRUE(ClickRows(program->List(), {1, 3}));
  PressKey(window, VK_DELETE);
  ASSERT_TRUE(Confirm());
  if (v2()) {
    ASSERT_TRUE(Finished(L"File(s) deleted."));
    EXPECT_EQ(RowCount(program->List()), 4);
    return;
  }
  EXPECT_EQ(ErrorText(), L"Dir file error! It might be in use.. exiting...");
  EXPECT_TRUE(WaitUntil([&] { return IsEnabled(program->List()); }));
  EXPECT_EQ(Contents(), before);
  EXPECT_EQ(RowCount(program->List()), 6);
}

INSTANTIATE_TEST_SUITE_P(Layouts, SharedAccessTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "V2" : "V1"; });

}  // namespace
}  // namespace vandrel::e2e
