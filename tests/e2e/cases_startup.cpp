// Start-up and exit of the real program: the first-run warning, the archive named on the
// command line, the window's frame and layout, the settings and the association it writes.
#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <utility>

#include "tests/e2e/e2e_fixture.h"

namespace vandrel::e2e {
namespace {

constexpr wchar_t kWarningText[] =
    L"Пожалуйста забекапте файлы прежде, чем удаляеть них!\r\n\r\n"
    L"Если Вы удалили файл, не поможет возвращение к оригиналу, если Вы не извлекали их. "
    L"Повторное установление GTA будет единственным способом вернуть их.\r\n\r\n"
    L"Вы предупреждены.            ";
constexpr wchar_t kIdleCaption[] = L"Vandrel 2.0 - quarrymoor.example";
constexpr wchar_t kReadyStatus[] = L"Vandrel 2.0 готово";
constexpr Milliseconds kQuietSpell{1500};

std::wstring Lower(std::wstring text) {
  std::transform(text.begin(), text.end(), text.begin(), ::towlower);
  return text;
}

// The program names itself by its module path; the driver started it by the same path.
std::wstring ProgramFolder() {
  std::wstring exe = VandrelPath();
  return exe.substr(0, exe.find_last_of(L'\\') + 1);
}

void ExpectText(const std::optional<RegistryValue>& value, const std::wstring& text) {
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(value->text, text);
}

void ExpectNumber(const std::optional<RegistryValue>& value, DWORD number) {
  ASSERT_TRUE(value.has_value());
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(value->number, number);
}

std::optional<RegistryValue> ClassesDefault(const std::wstring& key) {
  return ReadValue(HKEY_CLASSES_ROOT, key, L"");
}

class StartupTest : public E2eTest {
 protected:
  // A version-2 archive of six entries, one of whose names holds "?" and "/".
  std::vector<ArchiveEntry> Entries() const {
    auto entries = NumberedEntries(5, DirectoryEndSectorV2(6));
    entries.push_back({"odd?name/x.dff", entries.back().offset + entries.back().size, 1});
    return entries;
  }
  std::wstring MakeArchive(const std::wstring& name) const {
    WriteV2(Path(name), Entries());
    return Path(name);
  }
};

TEST_F(StartupTest, FirstStartWarnsBeforeAnyWindowIsShownAndBetweenTheWrites) {
  Program program({});
  HWND box = program.Dialog(kStartPatience, L"Warning");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kWarningText);
  EXPECT_EQ(program.MainWindow(Milliseconds(0)), nullptr) << "the main window is still hidden";
  // The mark is written before the warning, the association flag after it.
  ExpectNumber(Setting(L"bWarningShown"), 1);
  EXPECT_FALSE(Setting(L"bAssocIMG").has_value());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kExtensionKey));

  PressButton(box, IDOK);
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  ExpectNumber(Setting(L"bAssocIMG"), 1);
  EXPECT_TRUE(CloseAndWait(program));
}

TEST_F(StartupTest, SecondStartShowsNoWarningAndDeletingTheMarkBringsItBack) {
  {
    Program first({});
    HWND box = first.Dialog(kStartPatience, L"Warning");
    ASSERT_NE(box, nullptr);
    PressButton(box, IDOK);
    ASSERT_NE(first.MainWindow(), nullptr);
    ASSERT_TRUE(CloseAndWait(first));
  }
  {
    Program second({});
    ASSERT_NE(second.MainWindow(), nullptr);
    EXPECT_EQ(second.Dialog(kQuietSpell), nullptr);
    ASSERT_TRUE(CloseAndWait(second));
  }
  HKEY settings;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &settings),
            ERROR_SUCCESS);
  RegDeleteValueW(settings, L"bWarningShown");
  RegCloseKey(settings);
  Program third({});
  HWND box = third.Dialog(kStartPatience, L"Warning");
  ASSERT_NE(box, nullptr);
  PressButton(box, IDOK);
  EXPECT_TRUE(CloseAndWait(third));
}

TEST_F(StartupTest, OpensTheQuotedArchivePathNamedOnTheCommandLine) {
  std::filesystem::create_directories(std::filesystem::path(Path(L"with blanks")));
  std::wstring archive = MakeArchive(L"with blanks\\test archive.img");
  HWND window = nullptr;
  auto program = StartToMainWindow({archive}, window);
  ASSERT_NE(window, nullptr);

  std::vector<std::wstring> expected;
  auto entries = Entries();
  for (size_t i = 0; i < entries.size(); ++i)
    expected.push_back(ExpectedRow(static_cast<int>(i), entries[i]));
  HWND list = program->List();
  EXPECT_EQ(Rows(list), expected);
  EXPECT_EQ(WindowText(window), L"Vandrel 2.0 - test archive.img - quarrymoor.example");
  EXPECT_EQ(program->StatusText(0), L"Архив вер.2 загружен.    ");
  EXPECT_EQ(program->StatusText(1), L"6 files");
  // A freshly opened archive has its first row selected.
  EXPECT_EQ(SelectedCount(list), 1);
  EXPECT_TRUE(IsRowSelected(list, 0));
  // Opened from the command line, not from the Open dialog: the folder is not remembered.
  EXPECT_TRUE(CloseAndWait(*program));
  ExpectText(Setting(L"LastOpenDir"), L"");
}

TEST_F(StartupTest, TheWindowWithAnArchiveOpenLooksLikeATidyTool) {
  std::wstring archive = MakeArchive(L"gta3.img");
  HWND window = nullptr;
  auto program = StartToMainWindow({archive}, window);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return RowCount(program->List()) == 6; }));
  // Selecting a second row by keyboard shows both row states and the focus rectangle.
  PressKey(window, VK_DOWN);
  ASSERT_TRUE(WaitUntil([&] { return program->StatusText(1) == L"6 files (1)"; }));
  Sleep(300);
  EXPECT_TRUE(SaveScreenshot(window, OutputPath(L"main-window.bmp")));
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(StartupTest, FrameIsCentredFixedInWidthAndTheListFollowsTheHeight) {
  HWND window = nullptr;
  auto program = StartToMainWindow({}, window);
  ASSERT_NE(window, nullptr);
  RECT outer = OuterRect(window);
  EXPECT_EQ(outer.right - outer.left, 350);
  EXPECT_EQ(outer.bottom - outer.top, 254);
  EXPECT_EQ(outer.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 350 / 2);
  EXPECT_EQ(outer.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 254 / 2);
  LONG style = GetWindowLongW(window, GWL_STYLE);
  EXPECT_TRUE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  // Where the list should stand for the window's size, and where it does.
  auto layout = [&] {
    RECT client = ClientRect(window);
    RECT bar = OuterRect(program->StatusBar());
    RECT listRect = OuterRect(program->List());
    POINT corner{listRect.left, listRect.top};
    ScreenToClient(window, &corner);
    std::vector<int> wanted{8, 19, client.right - 16, client.bottom - (bar.bottom - bar.top) - 25};
    std::vector<int> actual{corner.x, corner.y, listRect.right - listRect.left,
                            listRect.bottom - listRect.top};
    return std::pair(wanted, actual);
  };
  // The layout follows each size change as the window handles it.
  auto expectLayout = [&] {
    WaitUntil([&] { return layout().first == layout().second; }, Milliseconds(2000));
    auto [wanted, actual] = layout();
    EXPECT_EQ(actual, wanted) << "list left, top, width, height";
    EXPECT_EQ(program->StatusPanelEdges(), (std::vector<int>{225, -1}));
  };
  expectLayout();
  SetWindowPos(window, nullptr, 0, 0, 350, 400, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(WaitUntil([&] { return OuterRect(window).bottom - OuterRect(window).top == 400; }));
  expectLayout();
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(StartupTest, UserMovingTheSelectionShowsTheCount) {
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive(L"a.img")}, window);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(program->StatusText(1), L"6 files");
  PressKey(window, VK_END);
  EXPECT_TRUE(WaitUntil([&] { return program->StatusText(1) == L"6 files (1)"; }));
  EXPECT_TRUE(IsRowSelected(program->List(), 5));
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(StartupTest, NoArgumentOpensNothingAndExitWritesEmptyTexts) {
  Program program({});
  HWND box = program.Dialog(kStartPatience, L"Warning");
  ASSERT_NE(box, nullptr);
  PressButton(box, IDOK);
  HWND window = program.MainWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), kIdleCaption);
  EXPECT_EQ(program.StatusText(0), kReadyStatus);
  EXPECT_EQ(program.StatusText(1), L"");
  EXPECT_EQ(RowCount(program.List()), 0);
  ASSERT_TRUE(CloseAndWait(program));

  ExpectNumber(Setting(L"bShowSplash"), 1);
  ExpectText(Setting(L"Location"), ProgramFolder());
  ExpectText(Setting(L"Version"), L"2.0");
  ExpectText(Setting(L"LastOpenDir"), L"");
  ExpectText(Setting(L"LastFileDir"), L"");
  ExpectText(Setting(L"LastFindStr"), L"");
  ExpectNumber(Setting(L"SortType"), 0);
  ExpectNumber(Setting(L"bWarningShown"), 1);
  ExpectNumber(Setting(L"bAssocIMG"), 1);
}

TEST_F(StartupTest, StoredSettingsAreReadAndTheOrderIsWrittenBack) {
  WriteString(HKEY_CURRENT_USER, kSettingsKey, L"LastFindStr", L"txd");
  WriteString(HKEY_CURRENT_USER, kSettingsKey, L"LastOpenDir", L"C:\\games\\");
  WriteDword(HKEY_CURRENT_USER, kSettingsKey, L"SortType", 5);
  WriteDword(HKEY_CURRENT_USER, kSettingsKey, L"bShowSplash", 2);
  HWND window = nullptr;
  auto program = StartToMainWindow({MakeArchive(L"a.img")}, window);
  ASSERT_NE(window, nullptr);
  // 5 counts as directory order.
  EXPECT_EQ(Rows(program->List()).front(), ExpectedRow(0, Entries().front()));
  ASSERT_TRUE(CloseAndWait(*program));
  ExpectText(Setting(L"LastFindStr"), L"txd");
  ExpectText(Setting(L"LastOpenDir"), L"C:\\games\\");
  ExpectNumber(Setting(L"SortType"), 0);
  ExpectNumber(Setting(L"bShowSplash"), 2);
}

TEST_F(StartupTest, EachStartPointsTheAssociationAtTheProgram) {
  HWND window = nullptr;
  auto program = StartToMainWindow({}, window);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(CloseAndWait(*program));
  std::wstring exe = Lower(VandrelPath());
  auto icon = ClassesDefault(L"GTA.ImageArchive\\DefaultIcon");
  ASSERT_TRUE(icon.has_value());
  EXPECT_EQ(Lower(icon->text), exe + L",1");
  ExpectText(ClassesDefault(L"GTA.ImageArchive\\shell"), L"Open");
  auto command = ClassesDefault(L"GTA.ImageArchive\\shell\\Open\\command");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ(Lower(command->text), exe + L" \"%1\"");
  ExpectText(ClassesDefault(kExtensionKey), L"GTA.ImageArchive");
}

TEST_F(StartupTest, WithTheAssociationOffTheClassesAreLeftAlone) {
  WriteDword(HKEY_CURRENT_USER, kSettingsKey, L"bAssocIMG", 0);
  HWND window = nullptr;
  auto program = StartToMainWindow({}, window);
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(CloseAndWait(*program));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kTypeKey));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
}

class ArgumentThatIsNoFile : public StartupTest,
                             public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(ArgumentThatIsNoFile, OpensNothingAndSaysNothing) {
  std::filesystem::create_directories(std::filesystem::path(Path(L"folder")));
  HWND window = nullptr;
  auto program = StartToMainWindow({Path(GetParam())}, window);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(program->Dialog(kQuietSpell), nullptr);
  EXPECT_EQ(RowCount(program->List()), 0);
  EXPECT_EQ(WindowText(window), kIdleCaption);
  EXPECT_TRUE(CloseAndWait(*program));
}

INSTANTIATE_TEST_SUITE_P(FolderOrMissing, ArgumentThatIsNoFile,
                         ::testing::Values(L"folder", L"missing.img"));

TEST_F(StartupTest, ADamagedArchiveShowsTheFileErrorAndStaysClosed) {
  // A version-2 header that promises 1000 entries in a file of a few bytes.
  WriteBytes(Path(L"damaged.img"), std::string("VER2\xE8\x03\0\0", 8) + "short");
  MarkWarningShown();
  auto program = std::make_unique<Program>(std::vector<std::wstring>{Path(L"damaged.img")});
  // The error comes while the main window is still hidden.
  HWND box = program->Dialog(kPatience, L"Vandrel 2.0");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L"Read beyond end of file.");
  PressButton(box, IDOK);
  ASSERT_NE(program->MainWindow(), nullptr);
  EXPECT_EQ(RowCount(program->List()), 0);
  EXPECT_TRUE(IsEnabled(program->List())) << "the busy state has ended";
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(StartupTest, AVersionOneArchiveWithoutItsDirectoryIsReported) {
  WriteBytes(Path(L"lonely.img"), std::string(kSector, 'x'));
  MarkWarningShown();
  auto program = std::make_unique<Program>(std::vector<std::wstring>{Path(L"lonely.img")});
  HWND box = program->Dialog(kPatience, L"Error");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L"Unable to find DIR file!\n\n[" + Path(L"lonely.dir") + L"]");
  PressButton(box, IDOK);
  ASSERT_NE(program->MainWindow(), nullptr);
  EXPECT_TRUE(CloseAndWait(*program));
}

TEST_F(StartupTest, AnUnreadableSettingEndsStartUpAtThatStep) {
  WriteString(HKEY_CURRENT_USER, kSettingsKey, L"bShowSplash", L"yes");
  MarkWarningShown();
  auto program = std::make_unique<Program>(std::vector<std::wstring>{MakeArchive(L"a.img")});
  HWND box = program->Dialog(kPatience, L"Vandrel 2.0");
  ASSERT_NE(box, nullptr);
  // The text ends in a quote mark, so no full stop is added.
  EXPECT_EQ(MessageBoxText(box), L"Invalid data type for 'bShowSplash'");
  PressButton(box, IDOK);
  ASSERT_NE(program->MainWindow(), nullptr);
  EXPECT_EQ(RowCount(program->List()), 0) << "the command-line archive is not opened";
  EXPECT_FALSE(Setting(L"Location").has_value());
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kExtensionKey));
  EXPECT_TRUE(CloseAndWait(*program));
}

}  // namespace
}  // namespace vandrel::e2e
