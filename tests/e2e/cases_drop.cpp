// Files and archives dragged from another program onto the real window and dropped there.
#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

class DropTest : public E2eTest {
 protected:
  void SetUp() override {
    entries = NumberedEntries(3, DirectoryEndSectorV2(3));
    WriteV2(Path(L"drop.img"), entries);
    program = StartToMainWindow({Path(L"drop.img")}, window);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(program->List()) == 3; }));
  }
  void TearDown() override { EXPECT_TRUE(CloseAndWait(*program)); }

  bool Finished(const std::wstring& status) const {
    return WaitUntil(
        [&] { return program->StatusText(0) == status && IsEnabled(program->List()); });
  }
  // The middle of the entry list, where a user lets go of what they drag.
  POINT ListMiddle() const {
    RECT list = OuterRect(program->List());
    POINT middle{(list.left + list.right) / 2, (list.top + list.bottom) / 2};
    ScreenToClient(window, &middle);
    return middle;
  }

  std::vector<ArchiveEntry> entries;
  std::unique_ptr<Program> program;
  HWND window = nullptr;
};

TEST_F(DropTest, DroppedFilesAreAddedAndADroppedArchiveOpens) {
  WriteBytes(Path(L"infernus.dff"), std::string(3000, 'd'));
  WriteBytes(Path(L"infernus.txd"), std::string(100, 't'));
  ASSERT_NE(DragFilesOnto(window, ListMiddle(), {Path(L"infernus.dff"), Path(L"infernus.txd")}),
            static_cast<DWORD>(DROPEFFECT_NONE));
  ASSERT_TRUE(Finished(L"File(s) added.")) << program->StatusText(0);
  std::vector<std::wstring> rows = Rows(program->List());
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[3].substr(0, 15), L"3%infernus.dff?");
  EXPECT_EQ(rows[4].substr(0, 15), L"4%infernus.txd?");
  EXPECT_TRUE(SaveScreenshot(window, OutputPath(L"after-drop.bmp")));

  std::vector<ArchiveEntry> other = NumberedEntries(7, 0);
  WriteV1(Path(L"other.img"), other);
  ASSERT_NE(DragFilesOnto(window, ListMiddle(), {Path(L"other.dir")}),
            static_cast<DWORD>(DROPEFFECT_NONE));
  ASSERT_TRUE(Finished(L"Архив вер.1загружен.     "));
  EXPECT_EQ(RowCount(program->List()), 7);
  EXPECT_NE(WindowText(window).find(L"other.img"), std::wstring::npos);
}

}  // namespace
}  // namespace vandrel::e2e
