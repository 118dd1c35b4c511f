// Archives past 4 GiB, in both layouts: sparse files of 5 GiB whose entries lie beyond the 4 GiB
// mark, opened, listed, extracted, added to, replaced in and rebuilt. Only the entries' sectors
// hold data, so the tests cost little disk.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr int64_t kFiveGiB = int64_t{5} << 30;
constexpr int32_t kFarSector = static_cast<int32_t>((int64_t{4} << 30) / 2048 + 10);
constexpr int32_t kEndSector = static_cast<int32_t>(kFiveGiB / 2048);

Bytes ReadRange(const std::wstring& path, int64_t from, int64_t count) {
  std::ifstream in(fs::path(ToUtf8(path)), std::ios::binary);
  in.seekg(from);
  Bytes bytes(static_cast<size_t>(count));
  in.read(reinterpret_cast<char*>(bytes.data()), count);
  bytes.resize(static_cast<size_t>(in.gcount()));
  return bytes;
}

void WriteRange(const std::wstring& path, int64_t at, const Bytes& bytes) {
  std::fstream io(fs::path(ToUtf8(path)), std::ios::binary | std::ios::in | std::ios::out);
  io.seekp(at);
  io.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A file of `length` bytes whose blocks the file system only allocates where data is written.
bool MakeSparse(const std::wstring& path, int64_t length) {
  WriteBytes(path, {});
  std::error_code failed;
  fs::resize_file(ToUtf8(path), static_cast<uintmax_t>(length), failed);
  struct stat st;
  return !failed && ::stat(ToUtf8(path).c_str(), &st) == 0 && st.st_blocks * 512 < (1 << 20);
}

class LargeArchive : public OpsTest, public ::testing::WithParamInterface<Layout> {
 protected:
  // One entry near the start, one just past 4 GiB and one in the last sectors of 5 GiB.
  void SetUp() override {
    if (!MakeSparse(tmp.Path("probe"), 64 << 20))
      GTEST_SKIP() << "this file system cannot hold sparse files";
    const bool v2 = GetParam() == Layout::V2;
    records = {
        {"low.dff", v2 ? 2 : 0, 1}, {"far.dff", kFarSector, 2}, {"last.txd", kEndSector - 3, 3}};
    data = {Pattern(2048, 1), Pattern(4096, 2), Pattern(6144, 3)};
    img = tmp.Path("big.img");
    ASSERT_TRUE(MakeSparse(img, kFiveGiB));
    if (v2) {
      WriteRange(img, 0, {'V', 'E', 'R', '2', 3, 0, 0, 0});
      WriteRange(img, 8, EncodeDirectory(records));
    } else {
      WriteBytes(tmp.Path("big.dir"), EncodeDirectory(records));
    }
    for (size_t i = 0; i < records.size(); ++i)
      WriteRange(img, int64_t{records[i].offset} * 2048, data[i]);
    Open(img);
    ASSERT_TRUE(IMGArchive.bLoaded);
  }

  Bytes Area(int index) {
    const TIMGFileEntry& entry = IMGArchive.Files.at(static_cast<size_t>(index));
    return ReadRange(img, int64_t{entry.Offset} * 2048, int64_t{entry.Size} * 2048);
  }
  void Replace(int row, const std::wstring& path) {
    sp.list.UserSelect({row}, row);
    sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{path});
    Run(&TfmMain::ReplaceFile);
  }
  // The entries not named keep their places and bytes.
  void ExpectOthersKept(int changed) {
    for (int i = 0; i < 3; ++i) {
      if (i == changed) continue;
      EXPECT_EQ(IMGArchive.Files[i].Offset, records[i].offset) << "entry " << i;
      EXPECT_EQ(Area(i), data[i]) << "entry " << i;
    }
  }

  std::vector<EntryRecord> records;
  std::vector<Bytes> data;
  std::wstring img;
};

TEST_P(LargeArchive, ListsTheByteOffsetsPastFourGiB) {
  ASSERT_EQ(sp.list.Count(), 3);
  EXPECT_EQ(sp.list.Row(1), L"1%far.dff?100005000/4 kb");
  EXPECT_EQ(sp.list.Row(2), L"2%last.txd?13FFFE800/6 kb");
}

TEST_P(LargeArchive, ExtractsEntriesPastFourGiB) {
  const std::wstring out = tmp.Path("out");
  fs::create_directory(ToUtf8(out));
  sp.list.UserSelect({1, 2}, 1);
  sp.dialogs.folderAnswers.push_back(out);
  Run(&TfmMain::ExtractFiles);
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) extracted.");
  EXPECT_EQ(ReadBytes(out + L"/far.dff"), data[1]);
  EXPECT_EQ(ReadBytes(out + L"/last.txd"), data[2]);
}

TEST_P(LargeArchive, AddsBehindFiveGiB) {
  const Bytes added = Pattern(5000, 4);
  sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{Source("new.col", added)});
  Run(&TfmMain::AddFiles);
  ASSERT_EQ(IMGArchive.FileCount, 4) << ToUtf8(LastBox());
  EXPECT_EQ(IMGArchive.Files[3].Offset, kEndSector);
  EXPECT_EQ(Area(3), Padded(added));
  EXPECT_EQ(fs::file_size(ToUtf8(img)), uintmax_t(kFiveGiB + 3 * 2048));
  ExpectOthersKept(3);
}

TEST_P(LargeArchive, ReplacesInPlacePastFourGiB) {
  const Bytes replacement = Pattern(3000, 5);
  Replace(1, Source("far.dff", replacement));
  Open(img);
  EXPECT_EQ(IMGArchive.Files[1].Offset, kFarSector);
  EXPECT_EQ(Area(1), Padded(replacement, 2));
  ExpectOthersKept(1);
}

TEST_P(LargeArchive, RebuildsIntoASmallArchive) {
  sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
  Run(&TfmMain::RebuildArchive);
  ASSERT_TRUE(IMGArchive.bLoaded) << ToUtf8(LastBox());
  const int32_t first = GetParam() == Layout::V2 ? 2 : 0;
  int32_t next = first;
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(IMGArchive.Files[i].Offset, next) << "entry " << i;
    EXPECT_EQ(Area(i), data[i]) << "entry " << i;
    next += IMGArchive.Files[i].Size;
  }
  EXPECT_EQ(fs::file_size(ToUtf8(img)), uintmax_t(next) * 2048);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LargeArchive, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

class LargeVersionTwo : public LargeArchive {};

TEST_P(LargeVersionTwo, RelocatesAReplacementBehindFiveGiB) {
  const Bytes replacement = Pattern(3 * 2048 + 1, 6);
  Replace(1, Source("far.dff", replacement));
  Open(img);
  EXPECT_EQ(IMGArchive.Files[1].Offset, kEndSector);
  EXPECT_EQ(IMGArchive.Files[1].Size, 4);
  EXPECT_EQ(Area(1), Padded(replacement));
  ExpectOthersKept(1);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LargeVersionTwo, ::testing::Values(Layout::V2), LayoutName);

class LargeVersionOne : public LargeArchive {};

// Its size's low 32 bits alone would make a file of 4 GiB and 100 bytes look like 100 bytes.
TEST_P(LargeVersionOne, RefusesAReplacementOfFourGiBAndMore) {
  const std::wstring huge = tmp.Path("far.dff");
  ASSERT_TRUE(MakeSparse(huge, (int64_t{4} << 30) + 100));
  Replace(1, huge);
  EXPECT_EQ(LastBox(), L"File is too big to replace 'far.dff'");
  EXPECT_EQ(Area(1), data[1]);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LargeVersionOne, ::testing::Values(Layout::V1), LayoutName);

}  // namespace
}  // namespace vandrel
