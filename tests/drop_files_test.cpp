// Files and archives dropped on the main window.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr wchar_t kNotFiles[] = L"Only files can be dropped here, not folders.";
constexpr wchar_t kMixed[] = L"Drop an archive alone to open it, or other files alone to add them.";
constexpr wchar_t kNoArchive[] = L"Open an archive first, then drop the files to add.";

class DropTest : public OpsTest, public ::testing::WithParamInterface<Layout> {
 protected:
  DropTest() { fs::create_directory(ToUtf8(tmp.Path("mod"))); }
  void Drop(const std::vector<std::wstring>& paths) {
    fm.Guarded([&] { fm.FormDropFiles(paths); });
  }
  std::vector<std::wstring> ModFiles() {
    return {Source("mod/infernus.dff", Pattern(5000, 1)), Source("mod/infernus.txd", {}),
            Source("mod/readme.TXT", Pattern(2048, 2))};
  }
  const std::vector<Item> old_ = {{"infernus.dff", Pattern(3000, 3)}};
};

// Dropping is the Add dialog without the dialog: the same bytes, progress, last status, caret
// and remembered folder.
TEST_P(DropTest, FilesJoinTheOpenArchiveExactlyAsTheAddDialogAddsThem) {
  const std::wstring img = BuildArchive(tmp, GetParam(), old_);
  Open(img);
  Options.LastFileDir = L"C:\\old\\";
  Drop(ModFiles());
  const Bytes dropped = ReadBytes(img);
  const auto seenDropping = seenWhilePumping;
  EXPECT_TRUE(sp.dialogs.openFileRequests().empty());
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) added.");
  EXPECT_EQ(sp.list.Caret(), 3);
  EXPECT_EQ(Options.LastFileDir, tmp.Path("mod/"));
  EXPECT_EQ(busyWhilePumping, std::vector<bool>(2, true));
  EXPECT_FALSE(Busy());

  BuildArchive(tmp, GetParam(), old_);
  Open(img);
  seenWhilePumping.clear();
  sp.dialogs.openFileAnswers.push_back(ModFiles());
  Run(&TfmMain::AddFiles);
  EXPECT_EQ(ReadBytes(img), dropped);
  EXPECT_EQ(seenWhilePumping, seenDropping);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DropTest, ::testing::Values(Layout::V1, Layout::V2), LayoutName);

class DropArchiveTest : public DropTest {};

// An archive alone opens as File > Open opens it, in place of the open one: its .img, its .dir,
// or both of them together, in any case of letters.
TEST_F(DropArchiveTest, AnArchiveAloneOpensInPlaceOfTheOpenOne) {
  const std::wstring other = BuildArchive(tmp, Layout::V2, old_);
  fs::create_directory(ToUtf8(tmp.Path("v1")));
  const std::wstring img =
      MakeV1(tmp, "v1/GTA3", {{"a.dff", 0, 1}, {"b.txd", 1, 1}}, Bytes(2 * 2048));
  const std::wstring dir = DirPathFor(img);
  for (const auto& drop : std::vector<std::vector<std::wstring>>{{img}, {dir}, {dir, img}}) {
    Open(other);
    Drop(drop);
    EXPECT_TRUE(IMGArchive.bLoaded);
    EXPECT_FALSE(IMGArchive.bVersion2);
    EXPECT_EQ(IMGArchive.FileCount, 2);
    EXPECT_EQ(fs::path(ToUtf8(IMGArchive.IMGFile)), fs::path(ToUtf8(img)));
    EXPECT_EQ(Options.LastOpenDir, tmp.Path("v1/"));
    EXPECT_EQ(sp.statusBar.Text(0), L"Архив вер.1загружен.     ");
  }
}

// A drop the window cannot take changes nothing and says why; a busy window takes nothing and
// leaves its status to the command that holds it.
TEST_F(DropArchiveTest, ADropThatCannotBeTakenChangesNothingAndSaysWhy) {
  const auto mod = ModFiles();
  Drop(mod);
  EXPECT_FALSE(IMGArchive.bLoaded);
  EXPECT_EQ(sp.statusBar.Text(0), kNoArchive);

  const std::wstring img = BuildArchive(tmp, Layout::V2, old_);
  const std::wstring other = Source("other.img", Bytes(2048));
  Open(img);
  const Bytes before = ReadBytes(img);
  const std::vector<std::pair<std::vector<std::wstring>, std::wstring>> refused = {
      {{mod[0], img}, kMixed},
      {{img, other}, kMixed},
      {{mod[0], tmp.Path("mod")}, kNotFiles},
      {{tmp.Path("gone.dff")}, kNotFiles}};
  for (const auto& [paths, why] : refused) {
    Drop(paths);
    EXPECT_EQ(sp.statusBar.Text(0), why);
    EXPECT_EQ(IMGArchive.IMGFile, img);
    EXPECT_EQ(ReadBytes(img), before);
  }

  fm.Find(1);
  const size_t shown = sp.statusBar.history().size();
  Drop(mod);
  Drop({other});
  EXPECT_EQ(sp.statusBar.history().size(), shown);
  EXPECT_EQ(ReadBytes(img), before);
  EXPECT_TRUE(sp.dialogs.messages().empty());
}

}  // namespace
}  // namespace vandrel
