// The top-level handler: the error box's caption and the full stop it adds.
#include "app/menu_items.h"
#include "platform/errors.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

struct StopCase {
  std::wstring raised, shown;
};

class FullStopTest : public testing::WindowTest, public ::testing::WithParamInterface<StopCase> {};

TEST_P(FullStopTest, AddsAStopOnlyAfterCharactersAboveTheFullStop) {
  fm.Guarded([] { throw AppError(GetParam().raised); });
  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].kind, MessageKind::Error);
  EXPECT_EQ(sp.dialogs.messages()[0].caption, L"Vandrel 2.0");
  EXPECT_EQ(sp.dialogs.messages()[0].text, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FullStopTest,
    ::testing::Values(StopCase{L"Read beyond end of file", L"Read beyond end of file."},
                      StopCase{L"I/O error 32", L"I/O error 32."},
                      StopCase{L"Архив повреждён", L"Архив повреждён."},
                      StopCase{L"Failed to set data for ''", L"Failed to set data for ''"},
                      StopCase{L"Cannot open \"gta3.img\"", L"Cannot open \"gta3.img\""},
                      StopCase{L"Done.", L"Done."},
                      StopCase{L"Trailing blank ", L"Trailing blank "}, StopCase{L"", L""}));

using TopLevelHandlerTest = testing::WindowTest;

TEST_F(TopLevelHandlerTest, TheHandlerShowsFileErrorsAndLeavesTheBusyState) {
  fm.Guarded([this] {
    fm.Working(true);
    throw InOutError(kErrReadBeyondEnd);
  });
  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].text, L"Read beyond end of file.");
  EXPECT_TRUE(sp.list.enabled());
  EXPECT_TRUE(sp.list.hasFocus());
  EXPECT_TRUE(sp.menus.IsEnabled(miCommands));
  EXPECT_EQ(sp.window.cursor(), Cursor::Default);
}

}  // namespace
}  // namespace vandrel
