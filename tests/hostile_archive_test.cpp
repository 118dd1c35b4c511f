// Hostile archives through every command: negative and huge offsets and sizes, entries past the
// end, overlapping entries, a version-2 directory overlapping data, a .dir of odd length, names
// of 0xFF bytes, device names and paths. Each command either works or stops with a message;
// it never crashes, never leaves the window busy, never writes outside the archive's files and
// the output folder. The disk is capped at 64 MiB per file, as a small disk would be, so a size
// taken from a damaged field meets "Disk full" instead of filling the real disk.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <filesystem>

#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr rlim_t kFileCap = rlim_t{64} << 20;
constexpr int32_t kLargest = 0x7FFFFFFF;

// Lowers the largest file this process may write for the lifetime of the object.
class FileSizeCap {
 public:
  explicit FileSizeCap(rlim_t bytes) {
    signal(SIGXFSZ, SIG_IGN);  // a write past the cap then fails as a full disk does
    getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit capped = saved_;
    capped.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &capped);
  }
  ~FileSizeCap() { setrlimit(RLIMIT_FSIZE, &saved_); }
  FileSizeCap(const FileSizeCap&) = delete;
  FileSizeCap& operator=(const FileSizeCap&) = delete;

 private:
  rlimit saved_{};
};

struct Hostile {
  std::string name;
  Layout layout;
  std::vector<EntryRecord> entries;
  int64_t imgLength;     // bytes of data file, pattern-filled behind any header
  Bytes dirTail = {};    // stray bytes behind a version-1 directory
  int32_t countV2 = -1;  // a version-2 count other than the number of entries
};

std::string HostileName(const ::testing::TestParamInfo<Hostile>& info) {
  return info.param.name + (info.param.layout == Layout::V1 ? "_V1" : "_V2");
}

std::vector<Hostile> Both(const std::string& name, std::vector<EntryRecord> entries,
                          int64_t length) {
  return {{name, Layout::V1, entries, length}, {name, Layout::V2, entries, length}};
}

std::vector<Hostile> HostileArchives() {
  std::vector<Hostile> all;
  auto add = [&](std::vector<Hostile> some) { all.insert(all.end(), some.begin(), some.end()); };
  const EntryRecord ok = {"ok.dff", 1, 1};
  add(Both("NegativeOffset", {{"neg.dff", -1, 1}, ok}, 3 * 2048));
  add(Both("NegativeSize", {{"neg.dff", 1, -5}, ok}, 3 * 2048));
  add(Both("HugeOffset", {{"far.dff", kLargest, 1}, ok}, 3 * 2048));
  add(Both("HugeSize", {{"huge.dff", 1, kLargest}, ok}, 3 * 2048));
  add(Both("PastTheEnd", {{"past.dff", 50, 2}, ok}, 3 * 2048));
  add(Both("RunningPastTheEnd", {ok, {"long.dff", 2, 40}}, 3 * 2048));
  add(Both("Overlapping", {{"a.dff", 1, 2}, {"b.dff", 2, 2}, {"c.dff", 1, 3}}, 5 * 2048));
  add(Both("UnevenLength", {ok, {"b.dff", 2, 1}}, 3 * 2048 - 700));
  std::vector<EntryRecord> doubling;
  for (int k = 0; k < 31; ++k) doubling.push_back({Numbered("d", k), 0, int32_t{1} << k});
  add(Both("DoublingOverlapsAtSectorZero", doubling, 4 * 2048));
  add(Both("DirectoryOverlapsData", {{"dir.dff", 0, 1}, ok}, 3 * 2048));
  add(Both("NamesOfFF", {{std::string(24, '\xFF'), 1, 1}, {"\xFF", 1, 1}}, 3 * 2048));
  add(Both(
      "DeviceNames",
      {{"CON", 1, 1}, {"nul.txd", 1, 1}, {"COM1", 1, 1}, {"LPT1.dff", 1, 1}, {"CONOUT$", 1, 1}},
      3 * 2048));
  add(Both("PathNames",
           {{"..\\..\\evil.dff", 1, 1},
            {"../evil.dff", 1, 1},
            {"/tmp/evil.dff", 1, 1},
            {"C:\\evil.dff", 1, 1},
            {"sub\\x.dff", 1, 1},
            {"..", 1, 1},
            {".", 1, 1},
            {"", 1, 1}},
           3 * 2048));
  all.push_back({"OddDirectory", Layout::V1, {ok, {"b.dff", 2, 1}}, 3 * 2048, {1, 2, 3, 4, 5, 6}});
  all.push_back({"CountPastTheEnd", Layout::V2, {ok}, 3 * 2048, {}, 1000});
  all.push_back({"NegativeCount", Layout::V2, {ok}, 3 * 2048, {}, -1});
  return all;
}

struct Tally {
  int runs = 0, worked = 0, refused = 0;
};

class HostileArchive : public OpsTest, public ::testing::WithParamInterface<Hostile> {
 protected:
  void SetUp() override {
    const Hostile& hostile = GetParam();
    Bytes data = Pattern(static_cast<size_t>(hostile.imgLength), 1);
    img = hostile.layout == Layout::V1 ? MakeV1(tmp, "test", hostile.entries, data)
                                       : MakeV2(tmp, "test.img", hostile.entries, data);
    if (hostile.layout == Layout::V1) {
      Bytes dirBytes = ReadBytes(tmp.Path("test.dir"));
      dirBytes.insert(dirBytes.end(), hostile.dirTail.begin(), hostile.dirTail.end());
      WriteBytes(tmp.Path("test.dir"), dirBytes);
    } else if (hostile.countV2 != -1 || hostile.name == "NegativeCount") {
      Bytes bytes = ReadBytes(img);
      WriteInt32(hostile.countV2, &bytes[4]);
      WriteBytes(img, bytes);
    }
    imgBefore = ReadBytes(img);
    dirBefore = ReadBytes(DirPathFor(img));
    fs::create_directory(ToUtf8(out));
    fs::create_directory(ToUtf8(tmp.Path("src")));
    small = Source("src/small.txd", Pattern(100, 2));
    large = Source("src/large.txd", Pattern(3 * 2048 + 1, 3));
    WriteBytes(tmp.Path("neighbour.img"), Pattern(4096, 4));
    untouchable = FilesBesides(img, out);
  }

  static void TearDownTestSuite() {
    std::printf("hostile archives: %d command runs, %d worked, %d stopped with a message\n",
                tally.runs, tally.worked, tally.refused);
  }

  // The archive as it was, opened; returns whether it opened.
  bool Fresh() {
    WriteBytes(img, imgBefore);
    if (GetParam().layout == Layout::V1) WriteBytes(DirPathFor(img), dirBefore);
    fs::remove_all(ToUtf8(out));
    fs::create_directory(ToUtf8(out));
    Open(img);
    return IMGArchive.bLoaded;
  }

  void AllRows() {
    std::vector<int> rows;
    for (int row = 0; row < sp.list.Count(); ++row) rows.push_back(row);
    sp.list.UserSelect(rows, 0);
  }

  void ReplaceRow(int row, const std::wstring& path) {
    sp.list.UserSelect({row}, row);
    sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{path});
  }

  // Runs one command on a fresh copy and checks what it left.
  void Try(const char* name, const std::function<void()>& prepare, void (TfmMain::*command)()) {
    SCOPED_TRACE(name);
    if (!Fresh()) return;
    prepare();
    const size_t boxes = ErrorBoxes();
    {
      FileSizeCap cap(kFileCap);
      Run(command);
    }
    ++tally.runs;
    EXPECT_FALSE(Busy());
    EXPECT_EQ(FilesBesides(img, out), untouchable);
    for (const auto& entry : fs::directory_iterator(ToUtf8(out)))
      EXPECT_TRUE(entry.is_regular_file()) << entry.path();
    EXPECT_LE(fs::file_size(ToUtf8(img)), uintmax_t{kFileCap});
    ASSERT_LE(ErrorBoxes(), boxes + 1);
    if (ErrorBoxes() == boxes) {
      ++tally.worked;
    } else {
      ++tally.refused;
      EXPECT_FALSE(LastBox().empty());
    }
  }

  static inline Tally tally;
  std::wstring img, small, large;
  const std::wstring out = tmp.Path("out");
  Bytes imgBefore, dirBefore;
  std::map<std::string, Bytes> untouchable;
};

TEST_P(HostileArchive, EveryCommandWorksOrStopsWithAMessage) {
  // Listing: opened consistently, or refused with a message.
  const size_t boxes = sp.dialogs.messages().size();
  if (!Fresh()) {
    EXPECT_EQ(sp.dialogs.messages().size(), boxes + 1);
    EXPECT_EQ(sp.list.Count(), 0);
    ++tally.runs, ++tally.refused;
    return;
  }
  ++tally.runs, ++tally.worked;
  ASSERT_EQ(sp.list.Count(), IMGArchive.FileCount);
  for (int row = 0; row < sp.list.Count(); ++row) EXPECT_EQ(fm.GetFileIndex(row), row);

  const int last = IMGArchive.FileCount - 1;
  Try(
      "extract", [&] { AllRows(), sp.dialogs.folderAnswers.push_back(out); },
      &TfmMain::ExtractFiles);
  Try(
      "add",
      [&] {
        sp.dialogs.openFileAnswers.push_back(std::vector{small, large});
      },
      &TfmMain::AddFiles);
  Try(
      "replace first", [&] { ReplaceRow(0, small); }, &TfmMain::ReplaceFile);
  Try(
      "replace last", [&] { ReplaceRow(last, large); }, &TfmMain::ReplaceFile);
  Try(
      "rename", [&] { sp.list.UserSelect({0}, 0), sp.dialogs.inputAnswers.push_back(L"r.dff"); },
      &TfmMain::RenameFile);
  Try(
      "delete",
      [&] {
        sp.list.UserSelect({0, last}, 0);
        sp.dialogs.questionAnswers.push_back(MessageResult::Yes);
      },
      &TfmMain::DeleteFiles);
  Try(
      "rebuild", [&] { sp.dialogs.questionAnswers.push_back(MessageResult::Yes); },
      &TfmMain::RebuildArchive);
}

INSTANTIATE_TEST_SUITE_P(Archives, HostileArchive, ::testing::ValuesIn(HostileArchives()),
                         HostileName);

}  // namespace
}  // namespace vandrel
