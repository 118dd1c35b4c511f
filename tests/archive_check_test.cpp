// The health check of a directory against its data file, and new empty archives.
#include "archive/archive_check.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "archive/img_archive.h"
#include "archive/new_archive.h"
#include "platform/errors.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

using namespace testing;

std::vector<TIMGFileEntry> Entries(const std::vector<EntryRecord>& records) {
  std::vector<TIMGFileEntry> entries;
  for (const auto& record : records) entries.push_back(MakeEntry(record));
  return entries;
}

CheckReport Check(const std::vector<EntryRecord>& records, bool version2, int64_t sectors) {
  return CheckArchive(Entries(records), version2, sectors * 2048);
}

std::vector<std::vector<int>> Of(const CheckReport& report, ProblemKind kind) {
  std::vector<std::vector<int>> found;
  for (const auto& problem : report.problems)
    if (problem.kind == kind) found.push_back(problem.entries);
  return found;
}

TEST(ArchiveCheck, BackToBackArchivesAreSoundAndRebuildToTheSameSize) {
  CheckReport v1 = Check({{"a", 0, 2}, {"b", 2, 1}, {"empty", 3, 0}}, false, 3);
  EXPECT_TRUE(v1.problems.empty());
  EXPECT_EQ(v1.unusedSectors, 0);
  EXPECT_EQ(v1.rebuildSaves, 0);
  // A rebuilt version-2 archive: header and room in sectors 0 and 1, data from sector 2.
  CheckReport v2 = Check({{"a", 2, 2}, {"b", 4, 1}}, true, 5);
  EXPECT_TRUE(v2.problems.empty());
  EXPECT_EQ(v2.unusedSectors, 0);
  EXPECT_EQ(v2.rebuildSaves, 0);
  CheckReport empty = Check({}, true, 2);
  EXPECT_TRUE(empty.problems.empty());
  EXPECT_EQ(empty.unusedSectors, 0);
  EXPECT_EQ(empty.rebuildSaves, 0);
}

TEST(ArchiveCheck, HolesAreUnusedAndWhatARebuildSaves) {
  // Sector 0 and sectors 3 to 5 belong to no entry; the data file ends in half a sector.
  CheckReport v1 = Check({{"a", 1, 2}, {"b", 6, 1}}, false, 7);
  EXPECT_TRUE(v1.problems.empty());
  EXPECT_EQ(v1.unusedSectors, 4);
  EXPECT_EQ(v1.rebuildSaves, 4 * 2048);
  CheckReport partial = CheckArchive(Entries({{"a", 0, 1}}), false, 2048 + 100);
  EXPECT_EQ(partial.unusedSectors, 1);
  EXPECT_EQ(partial.rebuildSaves, 100);
  // Data right behind the directory: a rebuild adds the room of one sector, and says so.
  CheckReport tight = Check({{"a", 1, 1}}, true, 2);
  EXPECT_TRUE(tight.problems.empty());
  EXPECT_EQ(tight.unusedSectors, 0);
  EXPECT_EQ(tight.rebuildSaves, 0);
  EXPECT_EQ(tight.rebuildCosts, 2048);
  // Two entries of one data: a rebuild copies it for each of them.
  CheckReport shared = Check({{"a", 0, 3}, {"b", 0, 3}}, false, 3);
  EXPECT_EQ(shared.rebuildSaves, 0);
  EXPECT_EQ(shared.rebuildCosts, 3 * 2048);
}

TEST(ArchiveCheck, DataPastTheEndOfTheFile) {
  // Entry 1 ends one sector late, entry 2 lies wholly behind the end, entry 3 has no data;
  // a last sector cut short counts as missing too.
  CheckReport report = Check({{"a", 0, 2}, {"b", 2, 2}, {"c", 9, 1}, {"d", 50, 0}}, false, 3);
  EXPECT_EQ(Of(report, ProblemKind::PastEnd), (std::vector<std::vector<int>>{{1}, {2}}));
  EXPECT_EQ(report.problems.size(), 2u);
  EXPECT_EQ(report.unusedSectors, 0);
  CheckReport cut = CheckArchive(Entries({{"a", 0, 2}}), false, 2 * 2048 - 1);
  EXPECT_EQ(Of(cut, ProblemKind::PastEnd), (std::vector<std::vector<int>>{{0}}));
}

TEST(ArchiveCheck, OverlapsComeAsRunsOfEntriesSharingSectors) {
  // 0 and 3 share sector 1; 3 and 4 share sector 2, so 0, 3 and 4 are one run. 1 and 5 hold the
  // same sectors; 2 only touches 1. An entry of no data shares nothing.
  CheckReport report = Check({{"a", 0, 2},
                              {"b", 10, 2},
                              {"c", 12, 1},
                              {"d", 1, 2},
                              {"e", 2, 3},
                              {"f", 10, 2},
                              {"g", 1, 0}},
                             false, 13);
  EXPECT_EQ(Of(report, ProblemKind::Overlap), (std::vector<std::vector<int>>{{0, 3, 4}, {1, 5}}));
  EXPECT_EQ(report.problems.size(), 2u);
  EXPECT_EQ(report.unusedSectors, 13 - 5 - 3);
  // A rebuild gives each entry its own copy, so it can come out larger.
  EXPECT_EQ(report.rebuildSaves, (13 - 12) * 2048);
}

TEST(ArchiveCheck, DataInsideTheVersion2Directory) {
  // 64 entries need 2056 bytes of directory: sector 1 is still directory, sector 2 is not.
  std::vector<EntryRecord> records;
  for (int i = 0; i < 64; ++i) records.push_back({std::to_string(i), 2 + i, 1});
  records[5].offset = 1;
  records[9].offset = 0;
  records[9].size = 0;  // no data, so nothing overlaps
  CheckReport report = Check(records, true, 66);
  EXPECT_EQ(Of(report, ProblemKind::DirectoryOverlap), (std::vector<std::vector<int>>{{5}}));
  EXPECT_EQ(report.problems.size(), 1u);
  // Version 1 has no directory in its data file.
  EXPECT_TRUE(Check({{"a", 0, 1}}, false, 1).problems.empty());
}

TEST(ArchiveCheck, NegativeOffsetsAndSizesAreReportedAndLeftOutOfTheRest) {
  CheckReport report = Check({{"a", -1, 1}, {"b", 0, 1}, {"c", 0, -3}}, false, 1);
  EXPECT_EQ(Of(report, ProblemKind::Negative), (std::vector<std::vector<int>>{{0}, {2}}));
  EXPECT_EQ(report.problems.size(), 2u);
  EXPECT_EQ(report.unusedSectors, 0);
  EXPECT_EQ(report.rebuildSaves, 0);
}

// The game reads a to z in either case alike and every other byte as itself: Cyrillic letters
// (Windows-1251 bytes here) differ in case, and so do names with a blank more.
TEST(ArchiveCheck, EntriesOfOneNameComeAsGroupsByTheirFirstEntry) {
  CheckReport report = Check({{"b.dff", 0, 0},
                              {"A.txd", 0, 0},
                              {"\xEC.dff", 0, 0},
                              {"a.TXD", 0, 0},
                              {"\xCC.dff", 0, 0},
                              {"B.DFF", 0, 0},
                              {"b.dff ", 0, 0},
                              {"a.txd", 0, 0}},
                             false, 1);
  EXPECT_EQ(Of(report, ProblemKind::DuplicateName),
            (std::vector<std::vector<int>>{{0, 5}, {1, 3, 7}}));
  EXPECT_EQ(report.problems.size(), 2u);
}

// Thousands of entries, as the game's archives hold, where names are looked up group by group.
TEST(ArchiveCheck, EveryGroupOfOneNameIsFoundAmongThousandsOfEntries) {
  std::vector<EntryRecord> records;
  std::vector<std::vector<int>> expected;
  for (int i = 0; i < 6000; ++i) records.push_back({"e" + std::to_string(i) + ".dff", 0, 0});
  for (int i = 0; i < 6000; i += 7) {
    records.push_back({"E" + std::to_string(i) + ".DFF", 0, 0});
    expected.push_back({i, static_cast<int>(records.size()) - 1});
  }
  EXPECT_EQ(Of(Check(records, false, 1), ProblemKind::DuplicateName), expected);
}

TEST(ArchiveCheck, ProblemsComeInKindOrder) {
  CheckReport report =
      Check({{"N", 0, 0}, {"n", 0, -1}, {"x", 0, 1}, {"y", 0, 1}, {"p", 5, 1}}, false, 1);
  ASSERT_EQ(report.problems.size(), 4u);
  EXPECT_EQ(report.problems[0].kind, ProblemKind::PastEnd);
  EXPECT_EQ(report.problems[1].kind, ProblemKind::Overlap);
  EXPECT_EQ(report.problems[2].kind, ProblemKind::Negative);
  EXPECT_EQ(report.problems[3].kind, ProblemKind::DuplicateName);
}

class NewArchiveTest : public WindowTest {
 protected:
  std::unique_ptr<IFileSystem> files = MakeNativeFileSystem();
};

TEST_F(NewArchiveTest, Version2IsTheHeaderAndTwoSectorsOfRoom) {
  const std::wstring img = tmp.Path("new.img");
  CreateEmptyArchive(*files, img, true);
  Bytes expected(4096);
  std::copy_n("VER2", 4, expected.begin());
  EXPECT_EQ(ReadBytes(img), expected);
  EXPECT_FALSE(files->FileExists(tmp.Path("new.dir")));
  fm.DoOpenArchive(img);
  EXPECT_TRUE(IMGArchive.bLoaded && IMGArchive.bVersion2);
  EXPECT_EQ(IMGArchive.FileCount, 0);
}

TEST_F(NewArchiveTest, Version1IsAnEmptyDirectoryAndASectorThatOpens) {
  const std::wstring img = tmp.Path("new.img");
  CreateEmptyArchive(*files, img, false);
  EXPECT_EQ(ReadBytes(img), Bytes(2048));
  EXPECT_TRUE(files->FileExists(tmp.Path("new.dir")));
  EXPECT_EQ(ReadBytes(tmp.Path("new.dir")), Bytes());
  fm.DoOpenArchive(img);
  EXPECT_TRUE(IMGArchive.bLoaded);
  EXPECT_FALSE(IMGArchive.bVersion2);
  EXPECT_EQ(IMGArchive.FileCount, 0);
}

TEST_F(NewArchiveTest, NothingThereIsOverwritten) {
  const Bytes old = Pattern(100, 1);
  WriteBytes(tmp.Path("old.img"), old);
  WriteBytes(tmp.Path("pair.dir"), old);
  for (bool version2 : {false, true}) {
    try {
      CreateEmptyArchive(*files, tmp.Path("old.img"), version2);
      ADD_FAILURE() << "an existing .img was overwritten";
    } catch (const AppError& error) {
      EXPECT_EQ(error.Message(), L"'" + tmp.Path("old.img") + L"' already exists.");
    }
  }
  // A version-1 archive is refused for its .dir alone, and the .img is not left behind.
  EXPECT_THROW(CreateEmptyArchive(*files, tmp.Path("pair.img"), false), AppError);
  EXPECT_FALSE(files->FileExists(tmp.Path("pair.img")));
  std::filesystem::create_directory(tmp.root() / "folder.img");
  EXPECT_THROW(CreateEmptyArchive(*files, tmp.Path("folder.img"), true), AppError);
  EXPECT_EQ(ReadBytes(tmp.Path("old.img")), old);
  EXPECT_EQ(ReadBytes(tmp.Path("pair.dir")), old);
}

}  // namespace
}  // namespace vandrel
