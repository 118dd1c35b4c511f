// Real kills of vandrel-cli's writing commands, both layouts: the process is killed right after
// its first file operation, then its second, and so on until the command completes, and a few
// times at a random moment during a rebuild. After each kill the archive is opened as the
// program opens it; it must then hold, entry for entry, the bytes it held before the command or
// those the command leaves (an add may have added some of its files), and nothing may be left
// beside it. The totals are printed at the end.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <thread>

#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

enum class Killed { Add, ReplaceInPlace, ReplaceRelocating, Delete, Rename, Rebuild, Import };

const char* KilledName(Killed command) {
  constexpr const char* kNames[] = {
      "Add", "ReplaceInPlace", "ReplaceRelocating", "Delete", "Rename", "Rebuild", "Import"};
  return kNames[static_cast<int>(command)];
}

// What the archive holds, entry by entry: the name and the bytes of the area.
using Contents = std::vector<std::pair<std::string, Bytes>>;

struct Totals {
  int kills = 0, wrong = 0, leftovers = 0;
};

// Runs `program` with `arguments`, its output discarded; with `killAfter` set it kills itself
// after that many file operations. Returns the child's id.
pid_t Start(const char* program, const std::vector<std::string>& arguments, int killAfter) {
  const pid_t child = ::fork();
  if (child != 0) return child;
  if (killAfter > 0) ::setenv("VANDREL_KILL_AFTER", std::to_string(killAfter).c_str(), 1);
  std::freopen("/dev/null", "w", stdout);
  std::freopen("/dev/null", "w", stderr);
  std::vector<char*> argv{const_cast<char*>(program)};
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  ::execv(program, argv.data());
  ::_exit(127);
}

// True when the child was killed, false when it ended by itself.
bool WasKilled(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

class KillTest : public OpsTest {
 protected:
  // Entries with a free sector between each two, so that a rebuild moves data.
  std::wstring BuildWithGaps(Layout layout, const std::vector<Item>& entries) {
    int32_t sector = layout == Layout::V2 ? 1 : 0;
    Bytes bytes(static_cast<size_t>(sector) * 2048);
    std::vector<EntryRecord> records;
    for (const auto& item : entries) {
      records.push_back({item.name, sector, SectorsOf(item.data.size())});
      const Bytes area = Padded(item.data);
      bytes.insert(bytes.end(), area.begin(), area.end());
      bytes.insert(bytes.end(), 2048, 0xEE);
      sector += SectorsOf(item.data.size()) + 1;
    }
    return layout == Layout::V1 ? MakeV1(tmp, "test", records, bytes)
                                : MakeV2(tmp, "test.img", records, bytes);
  }

  static Contents ContentsOf(const std::vector<Item>& entries) {
    Contents contents;
    for (const auto& item : entries) contents.push_back({item.name, Padded(item.data)});
    return contents;
  }

  // Opens the archive as the program does and reads what every entry holds.
  std::optional<Contents> Opened() {
    Open(img);
    if (!IMGArchive.bLoaded) return std::nullopt;
    const Bytes bytes = ReadBytes(img);
    Contents contents;
    for (const TIMGFileEntry& entry : IMGArchive.Files)
      contents.push_back({NameBytes(entry),
                          Slice(bytes, int64_t{entry.Offset} * 2048, int64_t{entry.Size} * 2048)});
    return contents;
  }

  // The archive's folder holds its own files and the sources, nothing else.
  bool Clean() {
    for (const auto& [name, bytes] : Snapshot(tmp))
      if (name != "test.img" && name != "test.dir") return false;
    return true;
  }

  void Restore() {
    for (const auto& [name, bytes] : Snapshot(tmp)) fs::remove(tmp.root() / name);
    for (const auto& [name, bytes] : before) WriteBytes(tmp.Path(name), bytes);
  }

  // One kill checked: the archive opens and holds one of the `allowed` contents, and the
  // folder is clean.
  void Inspect(Totals& totals, const std::vector<Contents>& allowed) {
    ++totals.kills;
    const std::optional<Contents> now = Opened();
    const bool right = now && std::find(allowed.begin(), allowed.end(), *now) != allowed.end();
    EXPECT_TRUE(right) << ToUtf8(LastBox());
    if (!right) ++totals.wrong;
    if (!Clean()) ++totals.leftovers;
    EXPECT_TRUE(Clean());
  }

  static void Print(const char* what, const std::map<std::string, Totals>& all) {
    for (const auto& [name, t] : all)
      std::printf("%s %-22s %4d kills: %3d left an entry wrong, %3d left a file beside it\n", what,
                  name.c_str(), t.kills, t.wrong, t.leftovers);
  }

  std::wstring img;
  Files before;
};

using KillCase = std::tuple<Killed, Layout>;

class KilledCommand : public KillTest, public ::testing::WithParamInterface<KillCase> {
 protected:
  void SetUp() override {
    img = BuildWithGaps(layout(), items);
    fs::create_directories(ToUtf8(tmp.Path("src/import")));
    for (const auto& item : added) Source("src/" + item.name, item.data);
    Source("src/small.txd", small), Source("src/large.txd", large);
    Source("src/import/b.txd", small), Source("src/import/c.col", tiny);
    before = Snapshot(tmp);
  }

  static void TearDownTestSuite() { Print("killed after each operation:", totals); }

  Killed command() const { return std::get<0>(GetParam()); }
  Layout layout() const { return std::get<1>(GetParam()); }

  std::vector<std::string> Arguments() const {
    const std::string archive = ToUtf8(img);
    switch (command()) {
      case Killed::Add:
        return {"add", archive, ToUtf8(tmp.Path("src/new.dff")), ToUtf8(tmp.Path("src/empty.ifp"))};
      case Killed::ReplaceInPlace:
        return {"replace", archive, "b.txd", ToUtf8(tmp.Path("src/small.txd"))};
      case Killed::ReplaceRelocating:
        return {"replace", archive, "b.txd", ToUtf8(tmp.Path("src/large.txd"))};
      case Killed::Delete:
        return {"delete", archive, "a.dff", "c.col"};
      case Killed::Rename:
        return {"rename", archive, "a.dff", "renamed.dff"};
      case Killed::Rebuild:
        return {"rebuild", archive};
      case Killed::Import:
        return {"import",
                archive,
                ToUtf8(tmp.Path("src/import/b.txd")),
                ToUtf8(tmp.Path("src/new.dff")),
                ToUtf8(tmp.Path("src/import/c.col")),
                ToUtf8(tmp.Path("src/empty.ifp"))};
    }
    return {};
  }

  // The contents before the command, and those it may leave when cut short or done.
  std::vector<Contents> Allowed() const {
    const Contents old = ContentsOf(items);
    Contents changed = old;
    switch (command()) {
      case Killed::Add: {
        Contents one = old;
        one.push_back({added[0].name, Padded(added[0].data)});
        Contents both = one;
        both.push_back({added[1].name, {}});
        return {old, one, both};
      }
      case Killed::ReplaceInPlace:
        changed[1].second = Padded(small, 2);
        break;
      case Killed::ReplaceRelocating:
        changed[1].second = Padded(large);
        break;
      case Killed::Delete:
        changed.erase(changed.begin() + 2);
        changed.erase(changed.begin());
        break;
      case Killed::Rename:
        changed[0].first = "renamed.dff";
        break;
      case Killed::Rebuild:
        break;
      case Killed::Import:
        return Imported(old);
    }
    return {old, changed};
  }

  // Each of b.txd and c.col, replaced in place, holds its old or its new bytes, and the files
  // added before the kill are there; the last is all of it done.
  Contents Replaced(Contents contents, bool b, bool c) const {
    if (b) contents[1].second = Padded(small, 2);
    if (c) contents[2].second = Padded(tiny, 1);
    return contents;
  }
  std::vector<Contents> Imported(const Contents& old) const {
    std::vector<Contents> allowed;
    for (size_t adds = 0; adds <= added.size(); ++adds)
      for (int both = 0; both < 4; ++both) {
        Contents contents = Replaced(old, both & 1, both & 2);
        for (size_t i = 0; i < adds; ++i)
          contents.push_back({added[i].name, Padded(added[i].data)});
        allowed.push_back(contents);
      }
    return allowed;
  }

  static inline std::map<std::string, Totals> totals;
  const std::vector<Item> items = {{"a.dff", Pattern(2048, 1)},
                                   {"b.txd", Pattern(3000, 2)},
                                   {"c.col", Pattern(100, 3)},
                                   {"d.ipl", Pattern(5000, 4)}};
  const std::vector<Item> added = {{"new.dff", Pattern(5 * 2048 + 5, 5)}, {"empty.ifp", {}}};
  const Bytes small = Pattern(2100, 6), large = Pattern(3 * 2048 + 1, 7), tiny = Pattern(90, 8);
};

TEST_P(KilledCommand, LeavesTheOldOrTheNewArchive) {
  Totals& counted =
      totals[std::string(KilledName(command())) + (layout() == Layout::V1 ? "_V1" : "_V2")];
  const std::vector<Contents> allowed = Allowed();
  for (int k = 1;; ++k) {
    ASSERT_LT(k, 2000) << "the command never completed";
    SCOPED_TRACE("killed after operation " + std::to_string(k));
    Restore();
    if (!WasKilled(Start(VANDREL_KILLABLE_CLI, Arguments(), k))) break;
    Inspect(counted, allowed);
  }
  // The run that was not killed did the command.
  const std::optional<Contents> done = Opened();
  ASSERT_TRUE(done);
  EXPECT_EQ(*done, allowed.back());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, KilledCommand,
    ::testing::Values(KillCase{Killed::Add, Layout::V1}, KillCase{Killed::Add, Layout::V2},
                      KillCase{Killed::ReplaceInPlace, Layout::V1},
                      KillCase{Killed::ReplaceInPlace, Layout::V2},
                      // Version 1 refuses a replacement too big for the area.
                      KillCase{Killed::ReplaceRelocating, Layout::V2},
                      KillCase{Killed::Delete, Layout::V1}, KillCase{Killed::Delete, Layout::V2},
                      KillCase{Killed::Rename, Layout::V1}, KillCase{Killed::Rename, Layout::V2},
                      KillCase{Killed::Rebuild, Layout::V1}, KillCase{Killed::Rebuild, Layout::V2},
                      KillCase{Killed::Import, Layout::V1}, KillCase{Killed::Import, Layout::V2}),
    [](const ::testing::TestParamInfo<KillCase>& info) {
      return std::string(KilledName(std::get<0>(info.param))) +
             (std::get<1>(info.param) == Layout::V1 ? "_V1" : "_V2");
    });

class RandomlyKilledRebuild : public KillTest, public ::testing::WithParamInterface<Layout> {
 protected:
  static void TearDownTestSuite() { Print("killed at a random moment:", totals); }
  static inline std::map<std::string, Totals> totals;
};

// Large enough that a rebuild takes far longer than starting the program does.
TEST_P(RandomlyKilledRebuild, LeavesTheOldArchive) {
  constexpr int kRuns = 50;
  std::vector<Item> items;
  for (int i = 0; i < 40; ++i) items.push_back({Numbered("e", i), Pattern(48 * 1024 + i, i + 1)});
  img = BuildWithGaps(GetParam(), items);
  before = Snapshot(tmp);
  const std::vector<Contents> allowed = {ContentsOf(items)};
  const std::vector<std::string> arguments = {"rebuild", ToUtf8(img)};

  // How long a whole rebuild takes here; the kills fall anywhere in that time.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_FALSE(WasKilled(Start(VANDREL_CLI_PROGRAM, arguments, 0)));
  const auto whole = std::chrono::steady_clock::now() - start;
  std::mt19937 random(12345);
  std::uniform_int_distribution<int64_t> moment(
      0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());

  Totals& counted = totals[GetParam() == Layout::V1 ? "Rebuild_V1" : "Rebuild_V2"];
  for (int run = 0; run < kRuns; ++run) {
    Restore();
    const pid_t child = Start(VANDREL_CLI_PROGRAM, arguments, 0);
    std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
    ::kill(child, SIGKILL);
    if (!WasKilled(child)) continue;
    Inspect(counted, allowed);
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, RandomlyKilledRebuild, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

}  // namespace
}  // namespace vandrel
