// The fault sweep: every file operation of every command failed in turn, in both layouts, with
// each of "File access denied", "Disk full" and "Read beyond end of file". After each fault the
// box shows the file layer's text, the window is not busy, nothing changed but the archive's own
// files and the output folder, the archive opens with every entry holding its old bytes or what
// the command leaves for a failure at that point, and the record in memory is what the disk
// holds. The totals are printed when the sweep ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr int kCodes[] = {kErrAccessDenied, kErrDiskFull, kErrReadBeyondEnd};
constexpr int kFullDirectory = 63;

enum class Swept { Extract, Add, ReplaceInPlace, ReplaceRelocating };

std::string SweptName(Swept command) {
  switch (command) {
    case Swept::Extract:
      return "Extract";
    case Swept::Add:
      return "Add";
    case Swept::ReplaceInPlace:
      return "ReplaceInPlace";
    case Swept::ReplaceRelocating:
      return "ReplaceRelocating";
  }
  return "";
}

using SweepCase = std::tuple<Swept, Layout>;

std::string CaseName(const ::testing::TestParamInfo<SweepCase>& info) {
  return SweptName(std::get<0>(info.param)) +
         (std::get<1>(info.param) == Layout::V1 ? "_V1" : "_V2");
}

struct Totals {
  int operations = 0, injected = 0, failed = 0;
};

class FaultSweep : public OpsTest, public ::testing::WithParamInterface<SweepCase> {
 protected:
  void SetUp() override {
    // Three entries with data, then entries without data up to a full version-2 directory, so
    // that adding to version 2 must move the first entry out of the directory's way.
    items = {{"a.dff", Pattern(2048, 1)}, {"b.txd", Pattern(3000, 2)}, {"c.col", Pattern(100, 3)}};
    for (int i = 3; i < kFullDirectory; ++i) items.push_back({Numbered("z", i), {}});
    img = BuildArchive(tmp, layout(), items);
    dir = tmp.Path("test.dir");
    imgBefore = ReadBytes(img);
    if (layout() == Layout::V1) dirBefore = ReadBytes(dir);
    fs::create_directory(ToUtf8(out));
    fs::create_directory(ToUtf8(tmp.Path("src")));
    added = {{"new.dff", Pattern(33 * 2048 + 5, 4)}, {"empty.ifp", {}}};
    for (const auto& item : added) Source("src/" + item.name, item.data);
    small = Pattern(3000, 5), large = Pattern(3 * 2048 + 1, 6);
    Source("src/small.txd", small), Source("src/large.txd", large);
    WriteBytes(tmp.Path("neighbour.img"), Pattern(4096, 7));
    elsewhere = FilesBesides(img, out);
  }

  static void TearDownTestSuite() {
    Totals all;
    for (const auto& [name, totals] : sweep) {
      std::printf(
          "fault sweep %-20s %4d operations x 3 faults: %5d injected, %5d survived, %d failed\n",
          name.c_str(), totals.operations, totals.injected, totals.injected - totals.failed,
          totals.failed);
      all.operations += totals.operations, all.injected += totals.injected;
      all.failed += totals.failed;
    }
    std::printf(
        "fault sweep total: %zu command/layout pairs, %d operations, %d faults injected, "
        "%d survived, %d failed\n",
        sweep.size(), all.operations, all.injected, all.injected - all.failed, all.failed);
  }

  Swept command() const { return std::get<0>(GetParam()); }
  Layout layout() const { return std::get<1>(GetParam()); }

  // The archive as it was, opened, with the command's selection and answers ready.
  void Restore() {
    WriteBytes(img, imgBefore);
    if (layout() == Layout::V1) WriteBytes(dir, dirBefore);
    fs::remove_all(ToUtf8(out));
    fs::create_directory(ToUtf8(out));
    Open(img);
    switch (command()) {
      case Swept::Extract:
        sp.list.UserSelect({0, 1, 2, 3}, 0);
        sp.dialogs.folderAnswers.push_back(out);
        break;
      case Swept::Add:
        sp.dialogs.openFileAnswers.push_back(
            std::vector<std::wstring>{tmp.Path("src/new.dff"), tmp.Path("src/empty.ifp")});
        break;
      case Swept::ReplaceInPlace:
      case Swept::ReplaceRelocating:
        sp.list.UserSelect({1}, 1);
        sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{
            tmp.Path(command() == Swept::ReplaceInPlace ? "src/small.txd" : "src/large.txd")});
        break;
    }
  }

  void RunCommand() {
    switch (command()) {
      case Swept::Extract:
        return RunFaulty(&TfmMain::ExtractFiles);
      case Swept::Add:
        return RunFaulty(&TfmMain::AddFiles);
      case Swept::ReplaceInPlace:
      case Swept::ReplaceRelocating:
        return RunFaulty(&TfmMain::ReplaceFile);
    }
  }

  Bytes Area(const Bytes& bytes, const TIMGFileEntry& entry) {
    return Slice(bytes, int64_t{entry.Offset} * 2048, int64_t{entry.Size} * 2048);
  }

  // Entry `i` as it was: where it was, holding what it held.
  void ExpectKept(const Bytes& bytes, int i) {
    const TIMGFileEntry& now = IMGArchive.Files[static_cast<size_t>(i)];
    EXPECT_EQ(NameBytes(now), items[i].name) << "entry " << i;
    EXPECT_EQ(Area(bytes, now), Padded(items[i].data)) << "entry " << i;
  }

  // What the reopened archive may hold after a failure of this command.
  void ExpectOutcome() {
    const Bytes bytes = ReadBytes(img);
    const auto& files = IMGArchive.Files;
    switch (command()) {
      case Swept::Extract:
        EXPECT_EQ(bytes, imgBefore);
        if (layout() == Layout::V1) {
          EXPECT_EQ(ReadBytes(dir), dirBefore);
        }
        return;
      case Swept::Add: {
        // The old entries, possibly moved, then the files added before the failure, whole.
        ASSERT_GE(IMGArchive.FileCount, kFullDirectory);
        ASSERT_LE(IMGArchive.FileCount, kFullDirectory + 2);
        for (int i = 0; i < kFullDirectory; ++i) ExpectKept(bytes, i);
        for (size_t j = kFullDirectory; j < files.size(); ++j) {
          EXPECT_EQ(NameBytes(files[j]), added[j - kFullDirectory].name);
          EXPECT_EQ(Area(bytes, files[j]), Padded(added[j - kFullDirectory].data));
        }
        return;
      }
      case Swept::ReplaceInPlace:
      case Swept::ReplaceRelocating: {
        ASSERT_EQ(IMGArchive.FileCount, kFullDirectory);
        const Bytes before = Padded(items[1].data);
        for (int i = 0; i < kFullDirectory; ++i)
          if (i != 1) ExpectKept(bytes, i);
        const Bytes area = Area(bytes, files[1]);
        if (command() == Swept::ReplaceRelocating)
          EXPECT_TRUE(area == before || area == Padded(large));
        else
          EXPECT_TRUE(IsPlainPrefix(area, before, Padded(small, 2)));
        return;
      }
    }
  }

  // An area rewritten in place: zero sectors over the old data, or the new data's first
  // sectors over zeros.
  static bool IsPlainPrefix(const Bytes& area, const Bytes& before, const Bytes& after) {
    const int64_t sectors = int64_t(before.size()) / 2048;
    for (int64_t j = 0; j <= sectors; ++j) {
      Bytes zeroed(size_t(j) * 2048), written = Slice(after, 0, j * 2048);
      const Bytes rest = Slice(before, j * 2048, int64_t(before.size()));
      zeroed.insert(zeroed.end(), rest.begin(), rest.end());
      written.resize(before.size());
      if (area == zeroed || area == written) return true;
    }
    return false;
  }

  static void ExpectSameRecord(const TIMGArchive& a, const TIMGArchive& b) {
    ASSERT_EQ(a.FileCount, b.FileCount);
    ASSERT_EQ(a.Files.size(), b.Files.size());
    for (size_t i = 0; i < a.Files.size(); ++i) {
      EXPECT_EQ(a.Files[i].Offset, b.Files[i].Offset) << "entry " << i;
      EXPECT_EQ(a.Files[i].Size, b.Files[i].Size) << "entry " << i;
      EXPECT_EQ(a.Files[i].Name, b.Files[i].Name) << "entry " << i;
    }
  }

  void ExpectSurvived(int code, size_t boxesBefore) {
    ASSERT_EQ(sp.dialogs.messages().size(), boxesBefore + 1);
    EXPECT_EQ(LastBox(), InOutErrorText(code) + L".");
    EXPECT_FALSE(Busy());
    EXPECT_EQ(FilesBesides(img, out), elsewhere);
    const TIMGArchive inMemory = IMGArchive;
    Open(img);
    ASSERT_TRUE(IMGArchive.bLoaded) << ToUtf8(LastBox());
    if (inMemory.bLoaded) ExpectSameRecord(inMemory, IMGArchive);
    ExpectNoOverlap();
    ExpectOutcome();
  }

  static int FailedParts() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
  }

  static inline std::map<std::string, Totals> sweep;
  std::vector<Item> items, added;
  Bytes small, large, imgBefore, dirBefore;
  std::wstring img, dir;
  const std::wstring out = tmp.Path("out");
  std::map<std::string, Bytes> elsewhere;
};

TEST_P(FaultSweep, EveryFaultIsSurvived) {
  Restore();
  const int start = faulty.operations();
  RunCommand();
  const int operations = faulty.operations() - start;
  ASSERT_TRUE(sp.dialogs.messages().empty()) << ToUtf8(LastBox());
  ASSERT_GT(operations, 0);

  Totals& totals = sweep[CaseName({GetParam(), 0})];
  totals.operations = operations;
  for (int code : kCodes) {
    for (int k = 1; k <= operations; ++k) {
      SCOPED_TRACE("operation " + std::to_string(k) + " failing with " +
                   ToUtf8(InOutErrorText(code)));
      Restore();
      const size_t boxes = sp.dialogs.messages().size();
      const int failedBefore = FailedParts();
      faulty.FailAt(faulty.operations() + k, code);
      RunCommand();
      ExpectSurvived(code, boxes);
      ++totals.injected;
      if (FailedParts() > failedBefore) ++totals.failed;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, FaultSweep,
                         ::testing::Values(SweepCase{Swept::Extract, Layout::V1},
                                           SweepCase{Swept::Extract, Layout::V2},
                                           SweepCase{Swept::Add, Layout::V1},
                                           SweepCase{Swept::Add, Layout::V2},
                                           SweepCase{Swept::ReplaceInPlace, Layout::V1},
                                           SweepCase{Swept::ReplaceInPlace, Layout::V2},
                                           // Version 1 refuses a replacement too big for the area
                                           // before any file operation.
                                           SweepCase{Swept::ReplaceRelocating, Layout::V2}),
                         CaseName);

}  // namespace
}  // namespace vandrel
