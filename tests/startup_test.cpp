// Start-up and exit: the settings' reads and writes in their order, the first-run warning, and
// the archive named on the command line.
#include <algorithm>
#include <filesystem>

#include "app/command_line.h"
#include "app/options.h"
#include "app/random.h"
#include "app/settings_key.h"
#include "archive/img_archive.h"
#include "platform/paths.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

using scripted::RegWrite;

constexpr wchar_t kWarning[] =
    L"Пожалуйста забекапте файлы прежде, чем удаляеть них!\r\n\r\n"
    L"Если Вы удалили файл, не поможет возвращение к оригиналу, если Вы не извлекали их. "
    L"Повторное установление GTA будет единственным способом вернуть их.\r\n\r\n"
    L"Вы предупреждены.            ";

std::wstring Describe(const RegWrite& write) {
  std::wstring value = write.value.type == RegType::Dword ? std::to_wstring(write.value.number)
                                                          : L"\"" + write.value.text + L"\"";
  return (write.root == RegRoot::CurrentUser ? L"HKCU\\" : L"HKCR\\") + write.key + L"\\" +
         write.name + L"=" + value;
}

std::wstring Setting(const std::wstring& name, const std::wstring& value) {
  return L"HKCU\\software\\quarrymoor\\vandrel\\" + name + L"=" + value;
}

class StartupTest : public testing::WindowTest {
 protected:
  void Put(const wchar_t* name, uint32_t number) {
    sp.registry.Put(RegRoot::CurrentUser, settings_key::kPath, name, {RegType::Dword, number, {}});
  }
  void Put(const wchar_t* name, const std::wstring& text) {
    sp.registry.Put(RegRoot::CurrentUser, settings_key::kPath, name, {RegType::String, 0, text});
  }
  const RegValue* Stored(const wchar_t* name) {
    return sp.registry.Get(RegRoot::CurrentUser, settings_key::kPath, name);
  }
  // A settings key as an earlier run leaves it.
  void PutEarlierRun() {
    Put(settings_key::kShowSplash, 1);
    Put(settings_key::kWarningShown, 1);
    Put(settings_key::kAssocIMG, 1);
  }
  // Every registry write from the `from`th on, described.
  std::vector<std::wstring> WritesFrom(size_t from = 0) {
    std::vector<std::wstring> described;
    const auto& writes = sp.registry.writes();
    for (size_t i = from; i < writes.size(); ++i) described.push_back(Describe(writes[i]));
    return described;
  }
  int WarningsShown() {
    int count = 0;
    for (const auto& message : sp.dialogs.messages())
      count += message.kind == MessageKind::Warning ? 1 : 0;
    return count;
  }
  // The one error box, or a failure when there is none or more.
  std::wstring ErrorShown() {
    std::vector<std::wstring> texts;
    for (const auto& message : sp.dialogs.messages()) {
      if (message.kind != MessageKind::Error) continue;
      EXPECT_EQ(message.caption, L"Vandrel 2.0");
      texts.push_back(message.text);
    }
    EXPECT_EQ(texts.size(), 1u);
    return texts.empty() ? std::wstring() : texts.front();
  }
  std::wstring Folder() { return paths::Folder(sp.files->ProgramPath()); }
  std::wstring MakeArchive(const std::string& name) {
    return testing::MakeV2(tmp, name, {{"ped.dff", 1, 1}, {"ped.txd", 2, 1}}, {});
  }
};

TEST_F(StartupTest, FirstStartWritesTheDefaultsInOrderWithTheWarningBeforeTheAssociationFlag) {
  fm.FormCreate({});

  std::wstring program = sp.files->ProgramPath();
  EXPECT_EQ(WritesFrom(),
            (std::vector<std::wstring>{
                Setting(L"bShowSplash", L"1"),
                Setting(L"Location", L"\"" + Folder() + L"\""),
                Setting(L"Version", L"\"2.0\""),
                Setting(L"bWarningShown", L"1"),
                Setting(L"bAssocIMG", L"1"),
                L"HKCR\\gta.imagearchive\\defaulticon\\=\"" + program + L",1\"",
                L"HKCR\\gta.imagearchive\\shell\\=\"Open\"",
                L"HKCR\\gta.imagearchive\\shell\\open\\command\\=\"" + program + L" \"%1\"\"",
                L"HKCR\\.img\\=\"GTA.ImageArchive\"",
            }));
  EXPECT_EQ(sp.journal,
            (scripted::Journal{L"status:Vandrel 2.0 готово", L"reg:bShowSplash", L"reg:Location",
                               L"reg:Version", L"reg:bWarningShown", L"box:Warning",
                               L"reg:bAssocIMG", L"reg:", L"reg:", L"reg:", L"reg:"}));
  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].kind, MessageKind::Warning);
  EXPECT_EQ(sp.dialogs.messages()[0].text, kWarning);

  EXPECT_TRUE(Options.bShowSplash);
  EXPECT_TRUE(Options.bAssocIMG);
  EXPECT_EQ(Options.SortType, kSortByDirectory);
  EXPECT_EQ(sp.window.caption(), L"Vandrel 2.0 - quarrymoor.example");
  EXPECT_EQ(sp.window.appTitle(), L"Vandrel 2.0");
  EXPECT_TRUE(sp.window.iconSet());
  EXPECT_TRUE(sp.window.centred());
  EXPECT_FALSE(Folder().empty());
  EXPECT_EQ(program.rfind(Folder(), 0), 0u);
}

TEST_F(StartupTest, TheWarningComesOnceAndAgainOnlyWhenItsMarkIsDeleted) {
  fm.FormCreate({});
  size_t firstRun = sp.registry.writes().size();
  Options = {};
  fm.FormCreate({});
  EXPECT_EQ(WarningsShown(), 1);
  // Only what every start writes.
  std::vector<std::wstring> again = WritesFrom(firstRun);
  ASSERT_EQ(again.size(), 6u);
  EXPECT_EQ(again[0], Setting(L"Location", L"\"" + Folder() + L"\""));
  EXPECT_EQ(again[1], Setting(L"Version", L"\"2.0\""));

  // The stored number is never consulted, only the value's presence.
  Put(settings_key::kWarningShown, 0);
  fm.FormCreate({});
  EXPECT_EQ(WarningsShown(), 1);

  sp.registry.Erase(RegRoot::CurrentUser, settings_key::kPath, settings_key::kWarningShown);
  fm.FormCreate({});
  EXPECT_EQ(WarningsShown(), 2);
  EXPECT_EQ(Stored(settings_key::kWarningShown)->number, 1u);
}

TEST_F(StartupTest, TextsComeFromTheLastExitAndGoBackChanged) {
  PutEarlierRun();
  Put(settings_key::kLastOpenDir, L"C:\\Игры\\GTA3\\models\\");
  Put(settings_key::kLastFileDir, L"D:\\out\\");
  Put(settings_key::kLastFindStr, L"ped");
  fm.FormCreate({});
  EXPECT_EQ(Options.LastOpenDir, L"C:\\Игры\\GTA3\\models\\");
  EXPECT_EQ(Options.LastFileDir, L"D:\\out\\");
  EXPECT_EQ(Options.LastFindStr, L"ped");

  Options.LastFileDir = L"E:\\Новая папка\\";
  Options.LastFindStr = L"";
  fm.FormDestroy();
  EXPECT_EQ(Stored(settings_key::kLastOpenDir)->text, L"C:\\Игры\\GTA3\\models\\");
  EXPECT_EQ(Stored(settings_key::kLastFileDir)->text, L"E:\\Новая папка\\");
  EXPECT_EQ(Stored(settings_key::kLastFindStr)->text, L"");
  EXPECT_TRUE(sp.dialogs.messages().empty());
}

TEST_F(StartupTest, TheSeedComesFromTheClock) {
  sp.system.seed = 4242;
  fm.FormCreate({});
  int32_t drawn = Random(9999);
  Randomize(4242);
  EXPECT_EQ(Random(9999), drawn);
}

// Flags are on only when stored as 1.
class StoredFlagTest : public StartupTest, public ::testing::WithParamInterface<uint32_t> {};

TEST_P(StoredFlagTest, OnlyOneCountsAsOnAndNothingIsRewritten) {
  uint32_t stored = GetParam();
  Put(settings_key::kShowSplash, stored);
  Put(settings_key::kAssocIMG, stored);
  Put(settings_key::kWarningShown, 1);
  fm.FormCreate({});
  EXPECT_EQ(Options.bShowSplash, stored == 1);
  EXPECT_EQ(Options.bAssocIMG, stored == 1);
  EXPECT_EQ(Stored(settings_key::kShowSplash)->number, stored);
  EXPECT_EQ(Stored(settings_key::kAssocIMG)->number, stored);
  EXPECT_EQ(sp.registry.writes().size(), stored == 1 ? 6u : 2u);
}

INSTANTIATE_TEST_SUITE_P(Numbers, StoredFlagTest, ::testing::Values(0u, 1u, 2u, 0xFFFFFFFFu));

struct SortCase {
  uint32_t stored;
  uint8_t loaded;
};

class StoredSortTest : public StartupTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(StoredSortTest, AnythingButOneIsDirectoryOrderAndIsWrittenBackAsSuch) {
  PutEarlierRun();
  Put(settings_key::kSortType, GetParam().stored);
  fm.FormCreate({});
  EXPECT_EQ(Options.SortType, GetParam().loaded);
  fm.FormDestroy();
  EXPECT_EQ(Stored(settings_key::kSortType)->type, RegType::Dword);
  EXPECT_EQ(Stored(settings_key::kSortType)->number, GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(Numbers, StoredSortTest,
                         ::testing::Values(SortCase{0, 0}, SortCase{1, 1}, SortCase{5, 0}));

TEST_F(StartupTest, AFlagStoredAsTextEndsTheStartAtOnce) {
  Put(settings_key::kShowSplash, L"1");
  Put(settings_key::kLastOpenDir, L"C:\\Old\\");
  std::wstring archive = MakeArchive("gta3.img");
  fm.FormCreate({archive});
  EXPECT_EQ(ErrorShown(), L"Invalid data type for 'bShowSplash'");
  EXPECT_TRUE(sp.registry.writes().empty());
  EXPECT_EQ(WarningsShown(), 0);
  EXPECT_FALSE(Options.bShowSplash);
  EXPECT_TRUE(Options.LastOpenDir.empty());
  EXPECT_FALSE(IMGArchive.bLoaded);
}

TEST_F(StartupTest, AFailedWriteMidwaySkipsTheRestAndKeepsWhatWasLoaded) {
  Put(settings_key::kLastOpenDir, L"C:\\Old\\");
  sp.registry.refuseWritesOf = {settings_key::kVersion};
  std::wstring archive = MakeArchive("gta3.img");
  fm.FormCreate({archive});

  EXPECT_EQ(ErrorShown(), L"Failed to set data for 'Version'");
  EXPECT_EQ(WritesFrom(), (std::vector<std::wstring>{
                              Setting(L"bShowSplash", L"1"),
                              Setting(L"Location", L"\"" + Folder() + L"\""),
                          }));
  EXPECT_EQ(sp.journal.back(), L"box:Vandrel 2.0");
  EXPECT_TRUE(Options.bShowSplash);
  EXPECT_TRUE(Options.LastOpenDir.empty());
  EXPECT_EQ(WarningsShown(), 0);
  EXPECT_FALSE(sp.registry.KeyExists(RegRoot::ClassesRoot, L"\\.img\\"));
  EXPECT_FALSE(IMGArchive.bLoaded);
  EXPECT_TRUE(sp.list.enabled());
}

TEST_F(StartupTest, AFailedReadIsReportedWithTheValuesName) {
  sp.registry.refuseReadsOf = {settings_key::kShowSplash};
  fm.FormCreate({});
  EXPECT_EQ(ErrorShown(), L"Failed to get data for 'bShowSplash'");
  EXPECT_EQ(WritesFrom(), std::vector<std::wstring>{Setting(L"bShowSplash", L"1")});
}

TEST_F(StartupTest, ExitWritesTheTextsEvenWhenEmptyThenTheOrder) {
  fm.FormCreate({});
  size_t atStart = sp.registry.writes().size();
  fm.FormDestroy();
  EXPECT_EQ(WritesFrom(atStart), (std::vector<std::wstring>{
                                     Setting(L"LastOpenDir", L"\"\""),
                                     Setting(L"LastFileDir", L"\"\""),
                                     Setting(L"LastFindStr", L"\"\""),
                                     Setting(L"SortType", L"0"),
                                 }));
}

TEST_F(StartupTest, AFailedWriteAtExitLeavesTheRestUnsaved) {
  PutEarlierRun();
  fm.FormCreate({});
  size_t atStart = sp.registry.writes().size();
  sp.registry.refuseWritesOf = {settings_key::kLastFileDir};
  fm.FormDestroy();
  EXPECT_EQ(WritesFrom(atStart), std::vector<std::wstring>{Setting(L"LastOpenDir", L"\"\"")});
  EXPECT_EQ(ErrorShown(), L"Failed to set data for 'LastFileDir'");
  EXPECT_EQ(Stored(settings_key::kSortType), nullptr);
}

// What the first argument names decides whether anything opens.
class CommandLineStartTest : public StartupTest {
 protected:
  CommandLineStartTest() {
    PutEarlierRun();
    Put(settings_key::kLastOpenDir, L"C:\\Old\\");
  }
  void ExpectNothingOpened() {
    EXPECT_TRUE(sp.dialogs.messages().empty());
    EXPECT_FALSE(IMGArchive.bLoaded);
    EXPECT_TRUE(IMGArchive.IMGFile.empty());
    EXPECT_EQ(sp.statusBar.history(), std::vector<std::wstring>{L"Vandrel 2.0 готово"});
  }
  void ExpectOpened(const std::wstring& path) {
    EXPECT_TRUE(IMGArchive.bLoaded);
    EXPECT_EQ(IMGArchive.IMGFile, path);
    EXPECT_EQ(sp.list.Count(), 2);
    // Only the Open dialog moves the remembered folder.
    EXPECT_EQ(Options.LastOpenDir, L"C:\\Old\\");
  }
};

TEST_F(CommandLineStartTest, AFolderOpensNothingAndSaysNothing) {
  fm.FormCreate({tmp.Path("")});
  ExpectNothingOpened();
}

TEST_F(CommandLineStartTest, AMissingPathOpensNothingAndSaysNothing) {
  fm.FormCreate({tmp.Path("missing.img")});
  ExpectNothingOpened();
}

TEST_F(CommandLineStartTest, OnlyTheFirstArgumentCounts) {
  fm.FormCreate({tmp.Path("missing.img"), MakeArchive("gta3.img")});
  ExpectNothingOpened();
}

TEST_F(CommandLineStartTest, AnExistingFileOpensWhateverItsExtension) {
  std::wstring archive = MakeArchive("models.bin");
  fm.FormCreate({archive, L"ignored"});
  ExpectOpened(archive);
}

TEST_F(CommandLineStartTest, AQuotedPathWithBlanksArrivesWholeAndOpensAfterTheAssociation) {
  std::filesystem::create_directories(tmp.root() / "my archives");
  std::wstring archive = MakeArchive("my archives/gta 3.img");
  fm.FormCreate(
      ProgramArguments(L"\"C:\\Program Files\\Vandrel\\Vandrel.exe\" \"" + archive + L"\""));
  ExpectOpened(archive);
  auto associated = std::find(sp.journal.begin(), sp.journal.end(), L"reg:");
  auto loaded =
      std::find(sp.journal.begin(), sp.journal.end(), L"status:Архив вер.2 загружен.    ");
  EXPECT_LT(associated, loaded);
  EXPECT_NE(loaded, sp.journal.end());
}

}  // namespace
}  // namespace vandrel
