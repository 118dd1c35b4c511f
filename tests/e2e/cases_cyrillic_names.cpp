// Cyrillic entry names under a Western locale: the names are Windows-1251 bytes whatever code
// page the user's system has, so the list shows them right.
#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

class CyrillicNamesTest : public E2eTest {};

TEST_F(CyrillicNamesTest, TheListShowsWindows1251NamesRight) {
  // "машина.dff" in Windows-1251.
  std::vector<ArchiveEntry> entries = NumberedEntries(2, DirectoryEndSectorV2(2));
  entries[1].name = "\xEC\xE0\xF8\xE8\xED\xE0.dff";
  WriteV2(Path(L"names.img"), entries);
  HWND window = nullptr;
  auto program = StartToMainWindow({Path(L"names.img")}, window);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return RowCount(program->List()) == 2; }));
  const std::wstring row = Rows(program->List())[1];
  EXPECT_EQ(row.substr(0, row.find(L'?')), L"1%машина.dff");
  EXPECT_TRUE(CloseAndWait(*program));
}

}  // namespace
}  // namespace vandrel::e2e
