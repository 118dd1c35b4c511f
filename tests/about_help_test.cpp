// The About window and the help prompt: the texts the user reads and what the shell is asked
// to open.
#include <filesystem>
#include <sstream>

#include "app/menu_items.h"
#include "app/menu_table.h"
#include "platform/scripted/faulty_file_system.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

class AboutHelpTest : public testing::WindowTest {
 protected:
  AboutHelpTest() {
    std::filesystem::create_directories(tmp.root() / "Program Files" / "Vandrel");
    moved.MoveProgramTo(programFolder + L"Vandrel.exe");
  }
  void PressF1() {
    program.Guarded([&] { program.ShortcutPressed({false, kKeyF1}); });
  }
  std::wstring programFolder = tmp.Path("Program Files/Vandrel") + L"/";
  scripted::FaultyFileSystem moved{*sp.nativeFiles};
  Platform movedPlatform{sp.platformWith(moved)};
  TfmMain program{movedPlatform};
};

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  std::wistringstream in(text);
  for (std::wstring line; std::getline(in, line);) lines.push_back(line);
  if (!text.empty() && text.back() == L'\n') lines.push_back(L"");
  return lines;
}

TEST_F(AboutHelpTest, AboutShowsItsCaptionCreditsAndTheLinkThatOpensTheSite) {
  sp.toolWindows.users.push_back(
      [](scripted::ToolWindow& window) { window.ClickNamed(L"quarrymoor.example"); });
  program.Guarded([&] { program.MenuItemChosen(miAbout); });
  ASSERT_EQ(sp.toolWindows.shown().size(), 1u);
  const auto& about = sp.toolWindows.shown()[0];
  EXPECT_EQ(about.design().caption, L"О программе Vandrel ");
  EXPECT_EQ(about.design().clientWidth, 208);
  EXPECT_EQ(about.design().clientHeight, 117);
  EXPECT_TRUE(about.iconSet() && about.centred());
  const ControlDesign* credits = nullptr;
  for (const auto& control : about.design().controls)
    if (control.kind == ControlKind::Label) credits = &control;
  ASSERT_NE(credits, nullptr);
  std::vector<std::wstring> lines = Lines(credits->text);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].rfind(L"Code by ", 0), 0u);
  EXPECT_EQ(lines[1].rfind(L"Splash by ", 0), 0u);
  EXPECT_TRUE(lines[2].empty() && lines[3].empty());
  EXPECT_FALSE(lines[4].empty());
  EXPECT_EQ(credits->text.find(L'\r'), std::wstring::npos);

  ASSERT_EQ(sp.shell.calls.size(), 1u);
  EXPECT_EQ(sp.shell.calls[0].verb, L"open");
  EXPECT_EQ(sp.shell.calls[0].file, L"http://www.quarrymoor.example/");
  EXPECT_EQ(sp.shell.calls[0].parameters, L"");
}

TEST_F(AboutHelpTest, AboutClosedWithoutTheLinkOpensNothing) {
  program.Guarded([&] { program.MenuItemChosen(miAbout); });
  EXPECT_EQ(sp.toolWindows.shown().size(), 1u);
  EXPECT_TRUE(sp.shell.calls.empty());
}

TEST_F(AboutHelpTest, F1AsksAndNoDoesNothing) {
  testing::WriteBytes(programFolder + L"ReadMe.txt", {'h', 'i'});
  sp.dialogs.questionAnswers = {MessageResult::No};
  PressF1();
  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  const auto& prompt = sp.dialogs.messages()[0];
  EXPECT_EQ(prompt.kind, MessageKind::Information);
  EXPECT_EQ(prompt.caption, L"Information");
  EXPECT_EQ(prompt.text,
            L"Единственная справка, идущая с программой находится в файле ReadMe.\r\n"
            L"Для дополнительной справки, используете форумы в forum.quarrymoor.example"
            L"\r\n\r\nОткрыть файл ReadMe Vandrel?       ");
  EXPECT_TRUE(sp.shell.calls.empty());
}

TEST_F(AboutHelpTest, YesWithoutTheReadMeNamesTheMissingFile) {
  sp.dialogs.questionAnswers = {MessageResult::Yes};
  PressF1();
  ASSERT_EQ(sp.dialogs.messages().size(), 2u);
  EXPECT_EQ(sp.dialogs.messages()[1].kind, MessageKind::Error);
  EXPECT_EQ(sp.dialogs.messages()[1].caption, L"Error");
  EXPECT_EQ(sp.dialogs.messages()[1].text, L"The Vandrel ReadMe file is missing! (ReadMe.txt)");
  EXPECT_TRUE(sp.shell.calls.empty());
}

TEST_F(AboutHelpTest, YesWithTheReadMeOpensItInNotepadUnquoted) {
  testing::WriteBytes(programFolder + L"ReadMe.txt", {'h', 'i'});
  sp.dialogs.questionAnswers = {MessageResult::Yes};
  PressF1();
  EXPECT_EQ(sp.dialogs.messages().size(), 1u);
  ASSERT_EQ(sp.shell.calls.size(), 1u);
  EXPECT_EQ(sp.shell.calls[0].verb, L"open");
  EXPECT_EQ(sp.shell.calls[0].file, L"Notepad");
  // The folder's blank stays as it is: no quotes around the path.
  EXPECT_EQ(sp.shell.calls[0].parameters, programFolder + L"ReadMe.txt");
}

TEST_F(AboutHelpTest, AFolderCalledReadMeDoesNotCount) {
  std::filesystem::create_directories(tmp.root() / "Program Files" / "Vandrel" / "ReadMe.txt");
  sp.dialogs.questionAnswers = {MessageResult::Yes};
  PressF1();
  EXPECT_TRUE(sp.shell.calls.empty());
  EXPECT_EQ(sp.dialogs.messages().back().kind, MessageKind::Error);
}

}  // namespace
}  // namespace vandrel
