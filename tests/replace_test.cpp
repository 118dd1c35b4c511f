// Replacing one entry's data with a file, in place or (version 2) at the end of the archive.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/list_rows.h"
#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

class ReplaceTest : public OpsTest {
 protected:
  // An archive whose entry 0 has an area of three sectors.
  std::wstring ThreeSectorArchive(Layout layout) { return BuildArchive(tmp, layout, items); }
  void Replace(int row, const std::wstring& path) {
    sp.list.UserSelect({row}, row);
    sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{path});
    Run(&TfmMain::ReplaceFile);
  }
  void ReplaceFaulty(const std::wstring& path) {
    sp.list.UserSelect({0}, 0);
    sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{path});
    RunFaulty(&TfmMain::ReplaceFile);
  }
  std::vector<Expected> WithFirst(const Bytes& area) {
    std::vector<Expected> entries = Entries(items);
    entries[0].area = area;
    return entries;
  }

  std::vector<Item> items = {
      {"a.txd", Pattern(5000, 1)}, {"b.dff", Pattern(100, 2)}, {"c.col", Pattern(10, 3)}};
};

std::wstring Done(Layout layout) {
  return layout == Layout::V1 ? L"Файл заменён  " : L"File replaced.";
}

class ReplaceInPlace : public ReplaceTest,
                       public ::testing::WithParamInterface<std::tuple<Layout, size_t>> {};

TEST_P(ReplaceInPlace, OverwritesTheZeroedAreaAndKeepsTheEntry) {
  auto [layout, size] = GetParam();
  const std::wstring img = ThreeSectorArchive(layout);
  Open(img);
  const TIMGFileEntry before = IMGArchive.Files[0];
  const size_t length = ReadBytes(img).size();
  const Bytes data = Pattern(size, 9);
  const std::wstring path = Source("new.txd", data);
  MakeReadOnly(path);  // a replacement is only read
  Replace(0, path);
  EXPECT_TRUE(sp.dialogs.messages().empty()) << ToUtf8(LastBox());
  EXPECT_EQ(sp.statusBar.Text(0), Done(layout));
  EXPECT_FALSE(Busy());
  EXPECT_EQ(ReadBytes(img).size(), length);
  ExpectArchive(img, WithFirst(Padded(data, 3)));
  EXPECT_EQ(IMGArchive.Files[0].Offset, before.Offset);
  EXPECT_EQ(IMGArchive.Files[0].Size, 3);
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReplaceInPlace,
                         ::testing::Combine(::testing::Values(Layout::V1, Layout::V2),
                                            ::testing::Values(size_t{6144}, size_t{100},
                                                              size_t{0})));

class ReplaceBothLayouts : public ReplaceTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(ReplaceBothLayouts, AsksForOneFileNamedLikeTheEntry) {
  items[1].name = "abcdefghijklmnopqrstuvwx";
  Open(ThreeSectorArchive(GetParam()));
  Options.LastFileDir = L"C:\\old\\";
  Replace(1, Source("new.dff", Pattern(10, 9)));
  ASSERT_EQ(sp.dialogs.openFileRequests().size(), 1u);
  const OpenFileRequest& request = sp.dialogs.openFileRequests()[0];
  EXPECT_EQ(request.title, L"Замена... ");
  EXPECT_EQ(request.fileName, L"abcdefghijklmnopqrstuvwx");
  ASSERT_EQ(request.filters.size(), 1u);
  EXPECT_EQ(request.filters[0].display, L"Все файлы (*.*)");
  EXPECT_EQ(request.filters[0].pattern, L"*.*");
  EXPECT_FALSE(request.multiSelect);
  EXPECT_TRUE(request.mustExist && request.hideReadOnly && request.resizable);
  EXPECT_EQ(request.initialDir, L"C:\\old\\");
  EXPECT_EQ(Options.LastFileDir, tmp.Path(""));
}

TEST_P(ReplaceBothLayouts, NeedsExactlyOneSelectedRowAndAnAnswer) {
  const std::wstring img = ThreeSectorArchive(GetParam());
  Open(img);
  const Bytes before = ReadBytes(img);
  Options.LastFileDir = L"D:\\kept\\";
  for (auto rows : {std::vector<int>{}, std::vector<int>{0, 1}}) {
    sp.list.UserSelect(rows, 0);
    Run(&TfmMain::ReplaceFile);
  }
  EXPECT_TRUE(sp.dialogs.openFileRequests().empty());
  sp.list.UserSelect({0}, 0);
  Run(&TfmMain::ReplaceFile);  // cancelled
  EXPECT_EQ(sp.dialogs.openFileRequests().size(), 1u);
  EXPECT_EQ(ReadBytes(img), before);
  EXPECT_EQ(Options.LastFileDir, L"D:\\kept\\");
}

TEST_P(ReplaceBothLayouts, TheEntryIsTheOneOnTheCaretRowWhateverTheOrder) {
  items[0].name = "z.txd";  // last in name order
  Options.SortType = kSortByName;
  const std::wstring img = ThreeSectorArchive(GetParam());
  Open(img);
  ASSERT_EQ(sp.list.Row(2).substr(0, 2), L"0%");
  Replace(2, Source("new.txd", Pattern(10, 9)));
  std::vector<Expected> entries = WithFirst(Padded(Pattern(10, 9), 3));
  entries[0].name = "z.txd";
  ExpectArchive(img, entries);
}

// Whatever fails, the area holds zero sectors over the old data, or the replacement's first
// sectors over zeros; nothing outside it changes.
TEST_P(ReplaceBothLayouts, AFailureInPlaceLeavesAPlainPrefix) {
  const std::wstring img = ThreeSectorArchive(GetParam());
  const Bytes before = ReadBytes(img);
  const Bytes data = Pattern(5500, 9);
  const std::wstring path = Source("new.txd", data);
  Open(img);
  const int64_t start = int64_t{IMGArchive.Files[0].Offset} * 2048, area = 3 * 2048;
  const Bytes old = Slice(before, start, area);
  auto allowed = [&](const Bytes& now) {
    for (int64_t j = 0; j <= 3; ++j) {
      Bytes zeroed(size_t(j) * 2048);
      Bytes rest = Slice(old, j * 2048, area);
      zeroed.insert(zeroed.end(), rest.begin(), rest.end());
      Bytes written = Padded(Slice(data, 0, j * 2048), 3);
      if (now == zeroed || now == written) return true;
    }
    return now == Padded(data, 3);
  };
  ReplaceFaulty(path);
  FailEachOperation(
      faulty.operations(), {kErrDiskFull}, [&] { Reopen(img, before); },
      [&] {
        ReplaceFaulty(path);
        Bytes now = ReadBytes(img);
        EXPECT_TRUE(allowed(Slice(now, start, area)));
        EXPECT_EQ(Slice(now, 0, start), Slice(before, 0, start));
        EXPECT_EQ(Slice(now, start + area, int64_t(now.size())),
                  Slice(before, start + area, int64_t(before.size())));
        EXPECT_FALSE(Busy());
      });
}

INSTANTIATE_TEST_SUITE_P(Layouts, ReplaceBothLayouts, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

TEST_F(ReplaceTest, VersionOneRefusesAFileOneByteTooBig) {
  const std::wstring img = ThreeSectorArchive(Layout::V1);
  Open(img);
  const Bytes before = ReadBytes(img);
  const std::wstring status = sp.statusBar.Text(0);
  Replace(0, Source("big.txd", Pattern(6145, 9)));
  ASSERT_EQ(sp.dialogs.messages().size(), 1u);
  EXPECT_EQ(sp.dialogs.messages()[0].kind, MessageKind::Error);
  EXPECT_EQ(sp.dialogs.messages()[0].caption, L"Error");
  EXPECT_EQ(LastBox(), L"File is too big to replace 'a.txd'");
  EXPECT_EQ(ReadBytes(img), before);
  EXPECT_EQ(sp.statusBar.Text(0), status);
  EXPECT_EQ(Options.LastFileDir, tmp.Path(""));
}

TEST_F(ReplaceTest, VersionTwoMovesAFileTooBigToTheEnd) {
  const std::wstring img = ThreeSectorArchive(Layout::V2);
  Open(img);
  const Bytes before = ReadBytes(img);
  const int32_t end = static_cast<int32_t>(before.size() / 2048);
  const Bytes data = Pattern(6145, 9);
  Replace(0, Source("big.txd", data));
  EXPECT_EQ(sp.statusBar.Text(0), L"File replaced.");
  EXPECT_EQ(IMGArchive.Files[0].Offset, end);
  EXPECT_EQ(IMGArchive.Files[0].Size, 4);
  EXPECT_EQ(sp.list.Row(0), L"0%a.txd?" + OffsetHex(end) + L"/8 kb");
  Bytes now = ReadBytes(img);
  EXPECT_EQ(Slice(now, 0, 8), Slice(before, 0, 8));  // header and count stay
  EXPECT_EQ(Slice(now, 40, int64_t(before.size()) - 40),
            Slice(before, 40, int64_t(before.size()) - 40));
  ExpectArchive(img, WithFirst(Padded(data)));
}

TEST_F(ReplaceTest, VersionTwoRelocatesToTheNextBoundaryOfAnUnevenFile) {
  const std::wstring img = ThreeSectorArchive(Layout::V2);
  Bytes uneven = ReadBytes(img);
  uneven.resize(uneven.size() + 500, 0x55);
  WriteBytes(img, uneven);
  Open(img);
  Replace(0, Source("big.txd", Pattern(7000, 9)));
  ExpectArchive(img, WithFirst(Padded(Pattern(7000, 9))));
  EXPECT_EQ(int64_t{IMGArchive.Files[0].Offset} * 2048, int64_t(uneven.size() - 500 + 2048));
}

// The slot is written after the data, and the record in memory changes only with it.
TEST_F(ReplaceTest, AFailureWhileRelocatingLeavesTheEntryWholeSomewhere) {
  const std::wstring img = ThreeSectorArchive(Layout::V2);
  const Bytes before = ReadBytes(img);
  const Bytes data = Pattern(40 * 2048 + 9, 9);
  const std::wstring path = Source("big.txd", data);
  Open(img);
  ReplaceFaulty(path);
  FailEachOperation(
      faulty.operations(), {kErrDiskFull}, [&] { Reopen(img, before); },
      [&] {
        ReplaceFaulty(path);
        const TIMGFileEntry inMemory = IMGArchive.Files[0];
        Open(img);
        const TIMGFileEntry& onDisk = IMGArchive.Files[0];
        EXPECT_EQ(inMemory.Offset, onDisk.Offset);
        EXPECT_EQ(inMemory.Size, onDisk.Size);
        Bytes area =
            Slice(ReadBytes(img), int64_t{onDisk.Offset} * 2048, int64_t{onDisk.Size} * 2048);
        EXPECT_TRUE(area == Padded(items[0].data) || area == Padded(data));
      });
}

// An archive last written by a build whose replace wrote a record of one area, the data cut
// short of it, and died before the area took them: opening it finishes that replace.
TEST_P(ReplaceBothLayouts, ARecordOfOneAreaLeftByAnEarlierBuildIsFinished) {
  const std::wstring img = ThreeSectorArchive(GetParam());
  Open(img);
  const int64_t start = int64_t{IMGArchive.Files[0].Offset} * 2048;
  const Bytes data = Pattern(2500, 9);
  Bytes record = {'V', 'P', 'N', 'D', 1, 0, 0, 0, 0, 0, 0, 0};
  for (const int64_t field : {start, int64_t{3 * 2048}})
    for (int i = 0; i < 8; ++i) record.push_back(static_cast<unsigned char>(field >> (8 * i)));
  record.insert(record.end(), data.begin(), data.end());
  uint64_t sum = 14695981039346656037ull;
  for (unsigned char byte : record) sum = (sum ^ byte) * 1099511628211ull;
  for (int i = 0; i < 8; ++i) record.push_back(static_cast<unsigned char>(sum >> (8 * i)));
  for (char mark : {'D', 'O', 'N', 'E'}) record.push_back(static_cast<unsigned char>(mark));
  WriteBytes(img + L".pending", record);

  Open(img);
  EXPECT_EQ(LastBox(), L"A replace in this archive was cut short. It has now been finished.");
  ExpectArchive(img, WithFirst(Padded(data, 3)));
  EXPECT_FALSE(fs::exists(ToUtf8(img + L".pending")));
}

}  // namespace
}  // namespace vandrel
