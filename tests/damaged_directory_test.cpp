// Replace and Add on archives whose directory points where it must not: each is refused or
// writes only the new data, never over the header, the directory or past what the file holds.
#include <gtest/gtest.h>

#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;

class DamagedDirectoryTest : public OpsTest {
 protected:
  // One entry and nothing but the given bytes after the header and directory.
  std::wstring OneEntry(Layout layout, EntryRecord record, size_t length) {
    Bytes img = Pattern(length, 7);
    return layout == Layout::V1 ? MakeV1(tmp, "test", {record}, img)
                                : MakeV2(tmp, "test.img", {record}, img);
  }
  void Replace(const Bytes& data) {
    sp.list.UserSelect({0}, 0);
    sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{Source("new.dff", data)});
    Run(&TfmMain::ReplaceFile);
  }
  // Version 2: the old bytes stay, and the replacement lies whole behind them, where the
  // entry now points.
  void ExpectRelocated(const std::wstring& img, const Bytes& before, const Bytes& data) {
    const Bytes after = ReadBytes(img);
    ASSERT_EQ(after.size(), (before.size() + 2047) / 2048 * 2048 + Padded(data).size());
    EXPECT_EQ(Slice(after, 0, 8), Slice(before, 0, 8));
    EXPECT_EQ(Slice(after, 16, int64_t(before.size()) - 16),
              Slice(before, 16, int64_t(before.size()) - 16));
    Open(img);
    ASSERT_TRUE(IMGArchive.bLoaded);
    EXPECT_EQ(int64_t{IMGArchive.Files[0].Offset} * 2048,
              int64_t(after.size() - Padded(data).size()));
    EXPECT_EQ(IMGArchive.Files[0].Size, SectorsOf(data.size()));
    EXPECT_EQ(
        Slice(after, int64_t{IMGArchive.Files[0].Offset} * 2048, int64_t(Padded(data).size())),
        Padded(data));
  }
};

// Its "data" would be the header and directory: zeroing them lost the archive.
TEST_F(DamagedDirectoryTest, VersionTwoEntryOverTheDirectoryIsReplacedAtTheEnd) {
  for (int32_t size : {1, 130879}) {
    const std::wstring img = OneEntry(Layout::V2, {"head", 0, size}, 2048);
    const Bytes before = ReadBytes(img);
    Open(img);
    Replace(Pattern(100, 1));
    EXPECT_EQ(sp.statusBar.Text(0), L"File replaced.");
    ExpectRelocated(img, before, Pattern(100, 1));
  }
}

// Zeroing the whole claimed area first wrote 4 TiB; an offset far out grew the file to 4 TiB.
TEST_F(DamagedDirectoryTest, AnAreaPastTheEndIsNeverWritten) {
  for (EntryRecord record :
       {EntryRecord{"huge", 1, 0x7FFFFFFF}, EntryRecord{"far", 0x7FFFFFFF, 1}}) {
    const std::wstring v2 = OneEntry(Layout::V2, record, 4096);
    const Bytes before = ReadBytes(v2);
    Open(v2);
    Replace(Pattern(1000, 2));
    ExpectRelocated(v2, before, Pattern(1000, 2));

    const std::wstring v1 = OneEntry(Layout::V1, record, 4096);
    const Files files = Snapshot(tmp);
    Open(v1);
    Replace(Pattern(1000, 2));
    EXPECT_EQ(LastBox(), L"The archive's directory is damaged: the data of '" +
                             FromUtf8(record.name) +
                             L"' lie outside the archive, so nothing was replaced");
    EXPECT_EQ(sp.dialogs.messages().back().caption, L"Error");
    EXPECT_EQ(Snapshot(tmp), files);
    EXPECT_FALSE(Busy());
  }
}

// Replacing one of two entries that share a sector zeroed and overwrote the other's data.
TEST_F(DamagedDirectoryTest, DataSharedWithAnotherEntryAreNeverOverwritten) {
  const std::vector<EntryRecord> records = {{"first", 1, 2}, {"second", 2, 2}};
  const std::wstring v2 = MakeV2(tmp, "test.img", records, Pattern(4 * 2048, 5));
  const Bytes before = ReadBytes(v2);
  Open(v2);
  Replace(Pattern(100, 1));
  EXPECT_EQ(sp.statusBar.Text(0), L"File replaced.");
  ExpectRelocated(v2, before, Pattern(100, 1));
  EXPECT_EQ(Slice(ReadBytes(v2), 2 * 2048, 2 * 2048), Slice(before, 2 * 2048, 2 * 2048));

  const std::wstring v1 = MakeV1(tmp, "test", records, Pattern(4 * 2048, 5));
  const Files files = Snapshot(tmp);
  Open(v1);
  Replace(Pattern(100, 1));
  EXPECT_EQ(LastBox(),
            L"The archive's directory is damaged: the data of 'first' share sectors "
            L"with another entry, so nothing was replaced");
  EXPECT_EQ(Snapshot(tmp), files);
  EXPECT_FALSE(Busy());

  // Entries that only touch, or hold nothing, share nothing: the area is written in place.
  const std::wstring apart = MakeV1(
      tmp, "apart", {{"first", 1, 2}, {"second", 3, 2}, {"none", 1, 0}}, Pattern(5 * 2048, 5));
  Open(apart);
  Replace(Pattern(100, 1));
  EXPECT_EQ(sp.statusBar.Text(0), L"Файл заменён  ");
}

// Moving each of 31 overlapping entries to the end in turn doubled the file 31 times.
TEST_F(DamagedDirectoryTest, AddRefusesToMakeRoomByMovingSharedSectorsAgainAndAgain) {
  std::vector<EntryRecord> records;
  for (int i = 0; i < 31; ++i) records.push_back({Numbered("e", i), 0, int32_t(1) << i});
  const std::wstring img = MakeV2(tmp, "test.img", records, Pattern(4 * 2048, 3));
  const Bytes before = ReadBytes(img);
  Open(img);
  sp.dialogs.openFileAnswers.push_back(
      std::vector<std::wstring>{Source("new.dff", Pattern(10, 4))});
  Run(&TfmMain::AddFiles);
  EXPECT_EQ(LastBox(),
            L"The archive's directory is damaged: entries that must move to make room for it share "
            L"sectors or hold negative numbers.");
  EXPECT_EQ(ReadBytes(img), before);
  EXPECT_FALSE(Busy());
}

}  // namespace
}  // namespace vandrel
