// Opening and closing archives of both layouts, and what the window shows afterwards.
#include <gtest/gtest.h>

#include "app/options.h"
#include "archive/img_archive.h"
#include "platform/utf8.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

using testing::Bytes;
using testing::EntryRecord;

constexpr wchar_t kClosedCaption[] = L"Vandrel Русская версия     ";
constexpr wchar_t kClosedStatus[] = L"Архив закрыт   ";

class OpenArchiveTest : public testing::WindowTest {
 protected:
  void Open(const std::wstring& path) {
    fm.Guarded([&] { fm.DoOpenArchive(path); });
  }
  void ExpectClosedWindow() {
    EXPECT_FALSE(IMGArchive.bLoaded);
    EXPECT_EQ(IMGArchive.FileCount, 0);
    EXPECT_TRUE(IMGArchive.Files.empty());
    EXPECT_EQ(sp.window.caption(), kClosedCaption);
    EXPECT_EQ(sp.list.Count(), 0);
    EXPECT_EQ(sp.statusBar.Text(1), L"");
    EXPECT_TRUE(sp.list.enabled());
    EXPECT_EQ(sp.window.cursor(), Cursor::Default);
  }
  std::wstring LastBoxText() {
    return sp.dialogs.messages().empty() ? L"" : sp.dialogs.messages().back().text;
  }
};

TEST_F(OpenArchiveTest, VersionOneListsTheDirectoryBesideTheImg) {
  std::wstring img = testing::MakeV1(tmp, "gta3", {{"a.txd", 0, 1}, {"b.dff", 1, 1}}, Bytes(4096));
  Open(img);
  ASSERT_TRUE(IMGArchive.bLoaded);
  EXPECT_FALSE(IMGArchive.bVersion2);
  EXPECT_EQ(IMGArchive.IMGFile, img);
  EXPECT_EQ(IMGArchive.DIRFile, tmp.Path("gta3.dir"));
  EXPECT_EQ(sp.list.rows(),
            (std::vector<std::wstring>{L"0%a.txd?00000000/2 kb", L"1%b.dff?00000800/2 kb"}));
  EXPECT_EQ(sp.window.caption(), L"Vandrel 2.0 - gta3.img - quarrymoor.example");
  EXPECT_EQ(sp.statusBar.Text(0), L"Архив вер.1загружен.     ");
  EXPECT_EQ(sp.statusBar.Text(1), L"2 files");
  // A fresh archive starts on its first row, with no selection count shown.
  EXPECT_TRUE(sp.list.IsSelected(0));
  EXPECT_EQ(sp.list.Caret(), 0);
  EXPECT_EQ(sp.window.cursor(), Cursor::Default);
  EXPECT_TRUE(sp.dialogs.messages().empty());
}

TEST_F(OpenArchiveTest, VersionTwoReadsTheDirectoryAfterTheHeader) {
  std::wstring img = testing::MakeV2(tmp, "v2.img", {{"a.txd", 2, 1}}, Bytes(6144));
  Open(img);
  ASSERT_TRUE(IMGArchive.bLoaded);
  EXPECT_TRUE(IMGArchive.bVersion2);
  EXPECT_EQ(IMGArchive.DIRFile, L"");
  EXPECT_EQ(sp.list.rows(), std::vector<std::wstring>{L"0%a.txd?00001000/2 kb"});
  EXPECT_EQ(sp.statusBar.Text(0), L"Архив вер.2 загружен.    ");
}

TEST_F(OpenArchiveTest, DirOfSeventyBytesHoldsTwoEntries) {
  std::wstring img =
      testing::MakeV1(tmp, "odd", {{"one", 0, 0}, {"two", 0, 0}, {"three", 0, 0}}, Bytes(2048));
  Bytes dir = testing::ReadBytes(tmp.Path("odd.dir"));
  dir.resize(70);
  testing::WriteBytes(tmp.Path("odd.dir"), dir);
  Open(img);
  EXPECT_EQ(IMGArchive.FileCount, 2);
  EXPECT_EQ(sp.list.Count(), 2);
}

TEST_F(OpenArchiveTest, ImgThatBeginsWithVer2IsVersionTwo) {
  // A would-be version-1 pair whose data happens to begin with the signature.
  Bytes data(2048);
  data[0] = 'V', data[1] = 'E', data[2] = 'R', data[3] = '2';
  std::wstring img = testing::MakeV1(tmp, "fake", {{"x", 0, 1}}, data);
  Open(img);
  EXPECT_TRUE(IMGArchive.bVersion2);
  EXPECT_EQ(IMGArchive.FileCount, 0);
}

TEST_F(OpenArchiveTest, EmptyVersionTwoArchiveOpensWithNoRows) {
  Open(testing::MakeV2(tmp, "empty.img", {}, Bytes(4096)));
  EXPECT_TRUE(IMGArchive.bLoaded);
  EXPECT_EQ(sp.list.Count(), 0);
  EXPECT_EQ(sp.list.SelectedCount(), 0);
  EXPECT_EQ(sp.statusBar.Text(1), L"0 files");
}

TEST_F(OpenArchiveTest, MissingDirIsReportedAndLeavesTheArchiveClosed) {
  std::wstring img = tmp.Path("lonely.img");
  testing::WriteBytes(img, Bytes(2048));
  Open(img);
  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].kind, MessageKind::Error);
  EXPECT_EQ(sp.dialogs.messages()[0].caption, L"Error");
  EXPECT_EQ(LastBoxText(), L"Unable to find DIR file!\n\n[" + tmp.Path("lonely.dir") + L"]");
  ExpectClosedWindow();
  EXPECT_EQ(sp.statusBar.Text(0), kClosedStatus);
  EXPECT_EQ(IMGArchive.IMGFile, img);
  EXPECT_EQ(IMGArchive.DIRFile, tmp.Path("lonely.dir"));
}

TEST_F(OpenArchiveTest, AFolderNamedLikeTheDirDoesNotCount) {
  std::wstring img = tmp.Path("folder.img");
  testing::WriteBytes(img, Bytes(2048));
  std::filesystem::create_directories(tmp.root() / "folder.dir");
  Open(img);
  EXPECT_EQ(LastBoxText().rfind(L"Unable to find DIR file!", 0), 0u);
}

// Each damaged file is refused with the file layer's words, through the application's box.
struct DamagedCase {
  const char* what;
  Bytes img;
  std::wstring shown;
};

class DamagedArchiveTest : public OpenArchiveTest,
                           public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedArchiveTest, FailsWithTheFileLayersTextAndStaysClosed) {
  std::wstring img = tmp.Path("damaged.img");
  testing::WriteBytes(img, GetParam().img);
  testing::WriteBytes(tmp.Path("damaged.dir"), Bytes(32));
  Open(img);
  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].caption, L"Vandrel 2.0");
  EXPECT_EQ(sp.dialogs.messages()[0].kind, MessageKind::Error);
  EXPECT_EQ(LastBoxText(), GetParam().shown);
  ExpectClosedWindow();
}

Bytes V2Head(int32_t count, size_t total) {
  Bytes bytes(total);
  bytes[0] = 'V', bytes[1] = 'E', bytes[2] = 'R', bytes[3] = '2';
  WriteInt32(count, &bytes[4]);
  return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Opening, DamagedArchiveTest,
    ::testing::Values(
        DamagedCase{"four-byte img", Bytes(4), L"Read beyond end of file."},
        DamagedCase{"empty img", Bytes(), L"Read beyond end of file."},
        DamagedCase{"directory cut short", V2Head(3, 8 + 64), L"Read beyond end of file."},
        // No memory is reserved for a count the file cannot hold.
        DamagedCase{"absurd count", V2Head(0x7FFFFFFF, 4096), L"Read beyond end of file."},
        DamagedCase{"negative count", V2Head(-1, 4096), L"Range check error."}),
    [](const auto& info) {
      std::string name = info.param.what;
      for (char& c : name)
        if (c == ' ' || c == '-') c = '_';
      return name;
    });

TEST_F(OpenArchiveTest, MissingImgIsFileNotFound) {
  Open(tmp.Path("nowhere.img"));
  EXPECT_EQ(LastBoxText(), L"File not found.");
  ExpectClosedWindow();
}

TEST_F(OpenArchiveTest, AFailedOpenClosesTheArchiveThatWasOpen) {
  Open(testing::MakeV2(tmp, "good.img", {{"a", 2, 1}}, Bytes(6144)));
  ASSERT_TRUE(IMGArchive.bLoaded);
  std::wstring bad = tmp.Path("bad.img");
  testing::WriteBytes(bad, Bytes(3));
  Open(bad);
  ExpectClosedWindow();
  EXPECT_EQ(IMGArchive.IMGFile, bad);
}

TEST_F(OpenArchiveTest, OpenDialogSetsTheRememberedFolderOnlyWhenConfirmed) {
  Options.LastOpenDir = L"C:\\before\\";
  std::wstring img = testing::MakeV2(tmp, "cars.img", {}, Bytes(4096));
  sp.dialogs.openFileAnswers.push_back(std::nullopt);
  fm.Guarded([&] { fm.OpenArchive(); });
  ASSERT_EQ(sp.dialogs.openFileRequests().size(), 1u);
  const OpenFileRequest& request = sp.dialogs.openFileRequests()[0];
  EXPECT_EQ(request.title, L"Open...");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].display, L"GTA IMG Archive (*.img)");
  EXPECT_EQ(request.filters[0].pattern, L"*.img");
  EXPECT_EQ(request.initialDir, L"C:\\before\\");
  EXPECT_FALSE(request.multiSelect);
  EXPECT_TRUE(request.mustExist && request.hideReadOnly && request.resizable);
  EXPECT_EQ(Options.LastOpenDir, L"C:\\before\\");
  EXPECT_FALSE(IMGArchive.bLoaded);

  sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{img});
  fm.Guarded([&] { fm.OpenArchive(); });
  EXPECT_TRUE(IMGArchive.bLoaded);
  EXPECT_EQ(Options.LastOpenDir, FromUtf8(tmp.root().string()) + L"/");
}

TEST_F(OpenArchiveTest, CloseEmptiesEverythingAndIsHarmlessWhenClosed) {
  Open(testing::MakeV2(tmp, "a.img", {{"x", 2, 1}}, Bytes(6144)));
  fm.CloseArchive();
  fm.CloseArchive();
  ExpectClosedWindow();
  EXPECT_EQ(IMGArchive.IMGFile, L"");
  EXPECT_EQ(sp.statusBar.Text(0), kClosedStatus);
}

// Sample archives written by an independent project.
TEST_F(OpenArchiveTest, ThirdPartyVersionOneOpensAndLists) {
  Open(testing::FixturePath("v1.img"));
  ASSERT_TRUE(IMGArchive.bLoaded);
  ASSERT_EQ(sp.list.Count(), 3);
  EXPECT_EQ(sp.list.Row(0), L"0%VIRGO.DFF?00000000/2 kb");
  EXPECT_EQ(sp.list.Row(1), L"1%LANDSTAL.DFF?00000800/4 kb");
  // All 24 bytes of a name without a terminating zero are shown.
  EXPECT_EQ(NameBytes(IMGArchive.Files[2]).size(), 24u);
  EXPECT_EQ(sp.list.Row(2), L"2%" + NameText(IMGArchive.Files[2]) + L"?00001800/16 kb");
}

TEST_F(OpenArchiveTest, ThirdPartyVersionTwoOpensAndLists) {
  Open(testing::FixturePath("v2.img"));
  ASSERT_TRUE(IMGArchive.bVersion2);
  ASSERT_EQ(sp.list.Count(), 3);
  EXPECT_EQ(sp.list.Row(0), L"0%VIRGO.DFF?00000800/2 kb");
  EXPECT_EQ(sp.list.Row(1), L"1%LANDSTAL.DFF?00001000/2 kb");
  EXPECT_EQ(sp.list.Row(2).substr(0, 2), L"2%");
}

TEST(TextHelpers, ExtractBetweenAndAfter) {
  const std::wstring row = L"7%b.dff?00000800/2 kb";
  EXPECT_EQ(ExtractBetween(row, L"%", L"?"), L"b.dff");
  EXPECT_EQ(ExtractBetween(row, L"?", L"/"), L"00000800");
  EXPECT_EQ(ExtractBetween(row, L"[", L"?"), L"7%b.dff");
  EXPECT_EQ(ExtractBetween(row, L"%", L"#"), L"");
  EXPECT_EQ(ExtractBetween(row, L"[[", L"?"), L"%b.dff");  // absent, starts at its length
  EXPECT_EQ(ExtractAfter(row, L"/"), L"2 kb");
  EXPECT_EQ(ExtractAfter(row, L"#"), row);
}

TEST_F(OpenArchiveTest, FileIndexComesFromTheRowTextWhateverTheOrder) {
  sp.list.AddRows({L"12%a.txd?00001000/4 kb", L"x%bad?0/0 kb", L"%empty?0/0 kb"});
  EXPECT_EQ(fm.GetFileIndex(0), 12);
  fm.Guarded([&] { fm.GetFileIndex(1); });
  EXPECT_EQ(LastBoxText(), L"'x' is not a valid integer value.");
  fm.Guarded([&] { fm.GetFileIndex(2); });
  EXPECT_EQ(LastBoxText(), L"'' is not a valid integer value.");
}

TEST_F(OpenArchiveTest, FileSizeByNameFindsFilesAndFolders) {
  testing::WriteBytes(tmp.Path("empty.bin"), {});
  testing::WriteBytes(tmp.Path("five.bin"), Bytes(5));
  EXPECT_EQ(fm.GetFileSizeByName(tmp.Path("missing.bin")), -1);
  EXPECT_EQ(fm.GetFileSizeByName(tmp.Path("empty.bin")), 0);
  EXPECT_EQ(fm.GetFileSizeByName(tmp.Path("five.bin")), 5);
}

}  // namespace
}  // namespace vandrel
