// The Windows release as a user meets it: Vandrel.exe started from the folder the zip was
// unpacked into, with nothing of the build beside it, on a fresh prefix (the first-run warning
// and the splash come first), lists an archive and finds its ReadMe when F1 asks for it.
// tests/wine/release_smoke.sh unpacks the zip and names the folder and the archive.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_archives.h"

namespace vandrel::e2e {
namespace {

constexpr Milliseconds kQuietSpell{1500};

std::wstring FromEnvironment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? value : L"";
}

// Notepad showing the program's ReadMe; nullptr while there is none.
HWND ReadMeInNotepad() {
  HWND notepad = FindWindowW(L"Notepad", nullptr);
  return notepad && WindowText(notepad).find(L"ReadMe") != std::wstring::npos ? notepad : nullptr;
}

TEST(ReleaseTest, UnpackedProgramListsAnArchiveAndFindsItsReadMe) {
  const std::wstring folder = FromEnvironment(L"VANDREL_RELEASE");
  const std::wstring archive = FromEnvironment(L"VANDREL_RELEASE_ARCHIVE");
  ASSERT_FALSE(folder.empty() || archive.empty()) << "run by tests/wine/release_smoke.sh";
  // The same two entries release_smoke.sh expects vandrel-cli.exe to list.
  const std::vector<ArchiveEntry> entries = {{"infernus.dff", 1, 1}, {"infernus.txd", 2, 3}};
  WriteV2(archive, entries);

  Program program({archive}, folder + L"\\Vandrel.exe");
  HWND warning = program.Dialog(kPatience, L"Warning");
  ASSERT_NE(warning, nullptr) << "a first run warns first";
  PressButton(warning, IDOK);
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  WaitForInputIdle(program.process(), static_cast<DWORD>(kPatience.count()));
  EXPECT_EQ(Rows(program.List()),
            (std::vector<std::wstring>{ExpectedRow(0, entries[0]), ExpectedRow(1, entries[1])}));

  PressKey(window, VK_F1);
  HWND prompt = program.Dialog(kPatience, L"Information");
  ASSERT_NE(prompt, nullptr);
  PressKey(prompt, 'Y');
  HWND notepad = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (notepad = ReadMeInNotepad()) != nullptr; }));
  if (notepad) PostMessageW(notepad, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.Dialog(kQuietSpell, L"Error"), nullptr) << "the ReadMe is beside the program";

  program.Close();
  EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

}  // namespace
}  // namespace vandrel::e2e
