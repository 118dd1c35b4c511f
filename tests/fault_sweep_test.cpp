// The fault sweep over all six commands in both layouts.
// - Every file operation failed in turn with each of "File access denied", "Disk full" and
//   "Read beyond end of file": the box shows the file layer's text (or, where a rename, delete or
//   replace probe was refused, the command's own in-use text), the window is not busy, nothing
//   changed but the archive's own files and the output folder, the archive opens with every
//   entry holding its old bytes or what the command leaves for a failure at that point, and the
//   record in memory is what the disk holds.
// - The process dying after each file operation: the files as they were at that moment, opened
//   again, lose no entry the command was not removing, and no record points at bytes that are
//   not its entry's; nothing is left beside the archive.
// The totals are printed when the sweep ends.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr int kCodes[] = {kErrAccessDenied, kErrDiskFull, kErrReadBeyondEnd};
constexpr int kFullDirectory = 63;
const std::wstring kInUseTexts[] = {L"Dir file error! It might be in use.. exiting...",
                                    L"IMG file error! It might be in use.. exiting...",
                                    L"Ошибка открытия файла IMG!         "};

enum class Swept { Extract, Add, ReplaceInPlace, ReplaceRelocating, Delete, Rename, Rebuild };

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
    case Swept::Delete:
      return "Delete";
    case Swept::Rename:
      return "Rename";
    case Swept::Rebuild:
      return "Rebuild";
  }
  return "";
}

using SweepCase = std::tuple<Swept, Layout>;

std::string CaseName(const ::testing::TestParamInfo<SweepCase>& info) {
  return SweptName(std::get<0>(info.param)) +
         (std::get<1>(info.param) == Layout::V1 ? "_V1" : "_V2");
}

struct Totals {
  int operations = 0, injected = 0, failed = 0, crashPoints = 0, lost = 0;
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
    fs::create_directory(ToUtf8(out));
    fs::create_directory(ToUtf8(tmp.Path("src")));
    added = {{"new.dff", Pattern(33 * 2048 + 5, 4)}, {"empty.ifp", {}}};
    for (const auto& item : added) Source("src/" + item.name, item.data);
    small = Pattern(3000, 5), large = Pattern(3 * 2048 + 1, 6);
    Source("src/small.txd", small), Source("src/large.txd", large);
    WriteBytes(tmp.Path("neighbour.img"), Pattern(4096, 7));
    before = ArchiveFiles();
    elsewhere = FilesBesides(img, out);
  }

  static void TearDownTestSuite() {
    Totals all;
    for (const auto& [name, t] : sweep) {
      std::printf(
          "fault sweep %-20s %3d operations: %4d faults injected, %d failed; %3d crash points "
          "inspected, %d lost\n",
          name.c_str(), t.operations, t.injected, t.failed, t.crashPoints, t.lost);
      all.operations += t.operations, all.injected += t.injected, all.failed += t.failed;
      all.crashPoints += t.crashPoints, all.lost += t.lost;
    }
    std::printf(
        "fault sweep total: %zu command/layout pairs, %d operations, %d faults injected, %d "
        "survived, %d failed; %d crash points inspected, %d lost something\n",
        sweep.size(), all.operations, all.injected, all.injected - all.failed, all.failed,
        all.crashPoints, all.lost);
  }

  Swept command() const { return std::get<0>(GetParam()); }
  Layout layout() const { return std::get<1>(GetParam()); }
  bool Is(Swept a, Swept b = Swept::Extract, Swept c = Swept::Extract) const {
    return command() == a || command() == b || command() == c;
  }

  // The archive's own files: the .img, the .dir and whatever temporary files lie beside them.
  Files ArchiveFiles() {
    Files files = Snapshot(tmp);
    files.erase("neighbour.img");
    return files;
  }
  void LayOut(const Files& files) {
    for (const auto& [name, bytes] : ArchiveFiles()) fs::remove(tmp.root() / name);
    for (const auto& [name, bytes] : files) WriteBytes(tmp.Path(name), bytes);
  }

  // The archive as it was, opened, with the command's selection and answers ready.
  void Restore() {
    LayOut(before);
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
      case Swept::Delete:
        sp.list.UserSelect({0, 2}, 0);
        sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
        break;
      case Swept::Rename:
        sp.list.UserSelect({0}, 0);
        sp.dialogs.inputAnswers.push_back(L"renamed.dff");
        break;
      case Swept::Rebuild:
        sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
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
      case Swept::Delete:
        return RunFaulty(&TfmMain::DeleteFiles);
      case Swept::Rename:
        return RunFaulty(&TfmMain::RenameFile);
      case Swept::Rebuild:
        return RunFaulty(&TfmMain::RebuildArchive);
    }
  }

  // A clean run: how many file operations the command makes, and what it leaves.
  int CleanRun() {
    Restore();
    const int start = faulty.operations();
    RunCommand();
    EXPECT_EQ(ErrorBoxes(), 0u) << ToUtf8(LastBox());
    done = ArchiveFiles();
    return faulty.operations() - start;
  }

  Bytes Area(const Bytes& bytes, const TIMGFileEntry& entry) {
    return Slice(bytes, int64_t{entry.Offset} * 2048, int64_t{entry.Size} * 2048);
  }

  // Entry `i` now holds entry `old`'s name and bytes.
  void ExpectHolds(const Bytes& bytes, size_t i, size_t old) {
    const TIMGFileEntry& now = IMGArchive.Files[i];
    EXPECT_EQ(NameBytes(now), items[old].name) << "entry " << i;
    EXPECT_EQ(Area(bytes, now), Padded(items[old].data)) << "entry " << i;
  }

  // What the reopened archive may hold after the command was cut short.
  void ExpectOutcome(bool died) {
    const Bytes bytes = ReadBytes(img);
    const auto& files = IMGArchive.Files;
    switch (command()) {
      case Swept::Extract:
        EXPECT_EQ(ArchiveFiles(), before);
        return;
      case Swept::Add:
        // The old entries, possibly moved, then the files added before the failure, whole.
        ASSERT_GE(files.size(), size_t{kFullDirectory});
        ASSERT_LE(files.size(), size_t{kFullDirectory + 2});
        for (size_t i = 0; i < kFullDirectory; ++i) ExpectHolds(bytes, i, i);
        for (size_t j = kFullDirectory; j < files.size(); ++j) {
          EXPECT_EQ(NameBytes(files[j]), added[j - kFullDirectory].name);
          EXPECT_EQ(Area(bytes, files[j]), Padded(added[j - kFullDirectory].data));
        }
        return;
      case Swept::ReplaceInPlace:
      case Swept::ReplaceRelocating: {
        ASSERT_EQ(files.size(), size_t{kFullDirectory});
        for (size_t i = 0; i < kFullDirectory; ++i)
          if (i != 1) ExpectHolds(bytes, i, i);
        const Bytes area = Area(bytes, files[1]);
        EXPECT_TRUE(area == Padded(items[1].data) ||
                    area ==
                        (command() == Swept::ReplaceRelocating ? Padded(large) : Padded(small, 2)));
        return;
      }
      case Swept::Delete:
        if (died) return ExpectNoneLostByDeleting(bytes);
        [[fallthrough]];
      case Swept::Rename:
      case Swept::Rebuild:
        if (!died) {
          // All or nothing.
          const Files now = ArchiveFiles();
          EXPECT_TRUE(now == before || now == done);
          return;
        }
        ASSERT_EQ(files.size(), size_t{kFullDirectory});
        for (size_t i = 0; i < kFullDirectory; ++i) {
          if (i == 0 && command() == Swept::Rename && NameBytes(files[0]) == "renamed.dff") {
            EXPECT_EQ(Area(bytes, files[0]), Padded(items[0].data));
            continue;
          }
          ExpectHolds(bytes, i, i);
        }
        return;
    }
  }

  // Each record is one of the old entries, with its bytes, listed once, and every entry that was
  // not being removed is there.
  void ExpectNoneLostByDeleting(const Bytes& bytes) {
    std::vector<bool> seen(items.size());
    for (const TIMGFileEntry& entry : IMGArchive.Files) {
      auto old = std::find_if(items.begin(), items.end(),
                              [&](const Item& item) { return item.name == NameBytes(entry); });
      ASSERT_NE(old, items.end()) << NameBytes(entry);
      EXPECT_EQ(Area(bytes, entry), Padded(old->data)) << old->name;
      EXPECT_FALSE(seen[static_cast<size_t>(old - items.begin())]) << old->name << " twice";
      seen[static_cast<size_t>(old - items.begin())] = true;
    }
    for (size_t i = 0; i < items.size(); ++i)
      if (i != 0 && i != 2) {
        EXPECT_TRUE(seen[i]) << items[i].name << " was lost";
      }
  }

  // The old data left under its temporary name when deleting it was refused, which is ignored.
  template <class Map>
  static Map WithoutLeftover(Map files) {
    std::erase_if(files, [](const auto& file) {
      return fs::path(file.first).filename().string().rfind("TMPI", 0) == 0;
    });
    return files;
  }

  void ExpectSurvived(int code, size_t boxesBefore) {
    ASSERT_LE(ErrorBoxes(), boxesBefore + 1);
    const bool finished = ErrorBoxes() == boxesBefore;
    if (finished) {
      // Only a refused clean-up may pass unnoticed, and the command then finished.
      EXPECT_EQ(WithoutLeftover(ArchiveFiles()), done);
    } else {
      const std::wstring shown = LastBox();
      // A refused rename of the archive during a rebuild is reported as access denied.
      const bool refusedRename = command() == Swept::Rebuild && shown == L"File access denied.";
      EXPECT_TRUE(shown == InOutErrorText(code) + L"." || refusedRename ||
                  std::find(std::begin(kInUseTexts), std::end(kInUseTexts), shown) !=
                      std::end(kInUseTexts))
          << ToUtf8(shown);
    }
    EXPECT_FALSE(Busy());
    EXPECT_EQ(finished ? WithoutLeftover(FilesBesides(img, out)) : FilesBesides(img, out),
              elsewhere);
    if (IMGArchive.bLoaded)
      ExpectMemoryMatchesDisk(img);
    else
      Open(img);
    ASSERT_TRUE(IMGArchive.bLoaded) << ToUtf8(LastBox());
    ExpectNoOverlap();
    if (!finished) ExpectOutcome(false);
  }

  static int FailedParts() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
  }

  static inline std::map<std::string, Totals> sweep;
  std::vector<Item> items, added;
  Bytes small, large;
  std::wstring img, dir;
  const std::wstring out = tmp.Path("out");
  Files before, done;
  std::map<std::string, Bytes> elsewhere;
};

TEST_P(FaultSweep, EveryFaultIsSurvived) {
  const int operations = CleanRun();
  ASSERT_GT(operations, 0);
  Totals& totals = sweep[CaseName({GetParam(), 0})];
  totals.operations = operations;
  for (int code : kCodes) {
    FailEachOperation(
        operations, {code}, [&] { Restore(); },
        [&] {
          const size_t boxes = ErrorBoxes();
          const int failedBefore = FailedParts();
          RunCommand();
          ExpectSurvived(code, boxes);
          ++totals.injected;
          if (FailedParts() > failedBefore) ++totals.failed;
        });
  }
}

TEST_P(FaultSweep, DyingAfterAnyOperationLosesNothing) {
  if (command() == Swept::Extract) GTEST_SKIP() << "extracting writes nothing of the archive";
  const int operations = CleanRun();
  Totals& totals = sweep[CaseName({GetParam(), 0})];
  Files atDeath;
  DieAfterEachOperation(
      operations, [&] { Restore(), atDeath.clear(); }, [&] { atDeath = ArchiveFiles(); },
      [&] {
        RunCommand();
        ASSERT_FALSE(atDeath.empty());
        const int failedBefore = FailedParts();
        LayOut(atDeath);
        Open(img);
        ASSERT_TRUE(IMGArchive.bLoaded) << ToUtf8(LastBox());
        ExpectOutcome(true);
        for (const auto& [name, bytes] : ArchiveFiles())
          EXPECT_TRUE(name == "test.img" || name == "test.dir") << name << " left";
        ++totals.crashPoints;
        if (FailedParts() > failedBefore) ++totals.lost;
      });
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FaultSweep,
    ::testing::Values(SweepCase{Swept::Extract, Layout::V1}, SweepCase{Swept::Extract, Layout::V2},
                      SweepCase{Swept::Add, Layout::V1}, SweepCase{Swept::Add, Layout::V2},
                      SweepCase{Swept::ReplaceInPlace, Layout::V1},
                      SweepCase{Swept::ReplaceInPlace, Layout::V2},
                      // Version 1 refuses a replacement too big for the area before any file
                      // operation.
                      SweepCase{Swept::ReplaceRelocating, Layout::V2},
                      SweepCase{Swept::Delete, Layout::V1}, SweepCase{Swept::Delete, Layout::V2},
                      SweepCase{Swept::Rename, Layout::V1}, SweepCase{Swept::Rename, Layout::V2},
                      SweepCase{Swept::Rebuild, Layout::V1}, SweepCase{Swept::Rebuild, Layout::V2}),
    CaseName);

}  // namespace
}  // namespace vandrel
