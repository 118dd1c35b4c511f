// Two vandrel-cli processes started at once on one archive. However their steps interleave,
// the archive stays sound, each program either makes its whole change or stops with a message
// having changed nothing, every other entry keeps its bytes, and an extraction writes the right
// bytes. The runs that went wrong are counted per pair and printed when the suite ends.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <tuple>

#include "archive/archive_check.h"
#include "platform/utf8.h"
#include "tests/cli/cli_fixture.h"

extern char** environ;

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr char kBeingChanged[] =
    "Another program is changing this archive, so nothing was done. Try again when it has "
    "finished.\n";
constexpr char kChanged[] =
    "Another program has changed this archive since it was read. It has been read again and "
    "nothing was done; please try again.\n";
constexpr int kRuns = 6;
constexpr int kEntries = 8;
constexpr int kFullDirectory = 63;
constexpr size_t kEntryBytes = 200 * 2048;

enum class Command { Add, Rebuild, Replace, Delete, Rename, Extract, Import };

const char* Name(Command command) {
  static const char* const kNames[] = {"add",    "rebuild", "replace", "delete",
                                       "rename", "extract", "import"};
  return kNames[static_cast<int>(command)];
}

// vandrel-cli started with `arguments`; its messages go to `errors`.
pid_t Start(const std::vector<std::string>& arguments, const std::string& errors) {
  std::vector<std::string> words = {VANDREL_CLI_PROGRAM};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  return failed ? -1 : pid;
}

int Finish(pid_t pid) {
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

using PairCase = std::tuple<std::pair<Command, Command>, Layout>;

std::string CaseName(const ::testing::TestParamInfo<PairCase>& info) {
  const auto [pair, layout] = info.param;
  std::string name = Name(pair.first);
  name += "_";
  name += Name(pair.second);
  return name + (layout == Layout::V1 ? "_V1" : "_V2");
}

class TwoPrograms : public CliTest, public ::testing::WithParamInterface<PairCase> {
 protected:
  static void TearDownTestSuite() {
    for (const auto& [name, count] : counts)
      std::printf("two programs %-18s %2d of %2d runs went wrong; %2d of the programs stopped\n",
                  name.c_str(), count.wrong, count.runs, count.stopped);
  }

  Command command(int side) const {
    return side == 0 ? std::get<0>(GetParam()).first : std::get<0>(GetParam()).second;
  }
  Layout layout() const { return std::get<1>(GetParam()); }
  std::string Side(const char* what, int side) const { return what + std::to_string(side); }

  // Entries with data, then empty ones up to a full version-2 directory, so that an add must
  // move the first entry out of its way. A version-2 replace moves the data to the end, as an
  // add puts its data there; a version-1 one fits in place.
  TwoPrograms() {
    for (int i = 0; i < kEntries; ++i)
      items.push_back({Numbered("e", i) + ".dat", Pattern(kEntryBytes, unsigned(i + 1))});
    for (int i = kEntries; i < kFullDirectory; ++i) items.push_back({Numbered("z", i), {}});
    for (int side = 0; side < 2; ++side) {
      added[side] = Pattern(512 * 2048, unsigned(20 + side));
      replacement[side] =
          Pattern(layout() == Layout::V2 ? kEntryBytes * 2 : kEntryBytes / 2, unsigned(30 + side));
    }
  }

  void MakeArchive() {
    for (const auto& file : fs::directory_iterator(tmp.root())) fs::remove_all(file.path());
    img = BuildArchive(tmp, layout(), items);
    for (int side = 0; side < 2; ++side) {
      Source(Side("add", side) + ".dat", added[side]);
      Source(Side("new", side) + ".dat", replacement[side]);
      fs::create_directory(tmp.root() / Side("out", side));
      // Import's folder: a file of an entry's name and a new one.
      fs::create_directory(tmp.root() / Side("imp", side));
      Source(Side("imp", side) + "/e1.dat", replacement[side]);
      Source(Side("imp", side) + "/" + Side("imp", side) + ".dat", added[side]);
    }
  }

  std::vector<std::string> Arguments(int side) const {
    const std::string archive = Arg(img);
    switch (command(side)) {
      case Command::Add:
        return {"add", archive, Arg(Side("add", side) + ".dat")};
      case Command::Rebuild:
        return {"rebuild", archive};
      case Command::Replace:
        return {"replace", archive, "e1.dat", Arg(Side("new", side) + ".dat")};
      case Command::Delete:
        return {"delete", archive, "e2.dat"};
      case Command::Rename:
        return {"rename", archive, "e0.dat", "renamed.dat"};
      case Command::Extract:
        return {"extract", archive, "-o", Arg(Side("out", side))};
      case Command::Import:
        return {"import", archive, Arg(Side("imp", side))};
    }
    return {};
  }

  // What the archive must hold, by name, once the commands that succeeded are done.
  std::map<std::string, Bytes> Expected(const bool succeeded[2]) {
    std::map<std::string, Bytes> expected;
    for (const auto& item : items) expected[item.name] = Padded(item.data);
    for (int side = 0; side < 2; ++side) {
      if (!succeeded[side]) continue;
      switch (command(side)) {
        case Command::Add:
          expected[Side("add", side) + ".dat"] = Padded(added[side]);
          break;
        case Command::Import:
          expected[Side("imp", side) + ".dat"] = Padded(added[side]);
          [[fallthrough]];
        case Command::Replace:
          expected["e1.dat"] = layout() == Layout::V2
                                   ? Padded(replacement[side])
                                   : Padded(replacement[side], SectorsOf(kEntryBytes));
          break;
        case Command::Delete:
          expected.erase("e2.dat");
          break;
        case Command::Rename:
          expected["renamed.dat"] = expected["e0.dat"];
          expected.erase("e0.dat");
          break;
        case Command::Rebuild:
        case Command::Extract:
          break;
      }
    }
    return expected;
  }

  // What went wrong in this run; nothing when all is well.
  std::vector<std::string> Problems(const int status[2], const std::string errors[2]) {
    std::vector<std::string> problems;
    bool succeeded[2];
    for (int side = 0; side < 2; ++side) {
      succeeded[side] = status[side] == 0;
      const bool refused =
          status[side] == 1 && (errors[side] == kBeingChanged || errors[side] == kChanged);
      if (!succeeded[side] && !refused)
        problems.push_back(std::string(Name(command(side))) + " ended with " +
                           std::to_string(status[side]) + ": " + errors[side]);
    }
    Open(img);
    if (!IMGArchive.bLoaded) return {"the archive does not open: " + ToUtf8(LastBox())};
    const Bytes bytes = ReadBytes(img);
    if (!CheckArchive(IMGArchive.Files, IMGArchive.bVersion2, int64_t(bytes.size()))
             .problems.empty())
      problems.push_back("check finds the archive damaged");
    std::map<std::string, Bytes> found;
    for (const TIMGFileEntry& entry : IMGArchive.Files)
      if (!found
               .emplace(NameBytes(entry),
                        Slice(bytes, int64_t{entry.Offset} * 2048, int64_t{entry.Size} * 2048))
               .second)
        problems.push_back(NameBytes(entry) + " is listed twice");
    const std::map<std::string, Bytes> expected = Expected(succeeded);
    for (const auto& [name, area] : expected) {
      auto it = found.find(name);
      if (it == found.end())
        problems.push_back(name + " is missing");
      else if (it->second != area)
        problems.push_back(name + " holds wrong bytes");
    }
    for (const auto& [name, area] : found)
      if (expected.count(name) == 0) problems.push_back(name + " should not be there");
    for (int side = 0; side < 2; ++side) {
      if (command(side) != Command::Extract) continue;
      for (const auto& file : fs::directory_iterator(tmp.root() / Side("out", side))) {
        const std::string name = file.path().filename().string();
        auto item = std::find_if(items.begin(), items.end(),
                                 [&](const Item& it) { return it.name == name; });
        if (!succeeded[side] || item == items.end() ||
            ReadBytes(FromUtf8(file.path().string())) != Padded(item->data))
          problems.push_back("extracted " + name + " holds wrong bytes");
      }
    }
    return problems;
  }

  struct Count {
    int runs = 0, wrong = 0, stopped = 0;
  };
  static inline std::map<std::string, Count> counts;
  std::vector<Item> items;
  Bytes added[2], replacement[2];
  std::wstring img;
};

TEST_P(TwoPrograms, EachChangesAllOrNothingAndTheArchiveStaysSound) {
  Count& count = counts[CaseName({GetParam(), 0})];
  for (int run = 0; run < kRuns; ++run) {
    SCOPED_TRACE("run " + std::to_string(run));
    MakeArchive();
    const std::string errFiles[2] = {Arg("err0.txt"), Arg("err1.txt")};
    // Each side starts first in every other run.
    const int first = run % 2;
    pid_t pids[2];
    pids[first] = Start(Arguments(first), errFiles[first]);
    pids[1 - first] = Start(Arguments(1 - first), errFiles[1 - first]);
    int status[2];
    std::string errors[2];
    for (int side = 0; side < 2; ++side) {
      status[side] = Finish(pids[side]);
      const Bytes err = ReadBytes(FromUtf8(errFiles[side]));
      errors[side] = std::string(err.begin(), err.end());
    }
    const std::vector<std::string> problems = Problems(status, errors);
    ++count.runs;
    count.stopped += (status[0] != 0) + (status[1] != 0);
    if (!problems.empty()) ++count.wrong;
    for (const auto& problem : problems) ADD_FAILURE() << problem;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, TwoPrograms,
    ::testing::Combine(::testing::Values(std::pair{Command::Add, Command::Add},
                                         std::pair{Command::Add, Command::Rebuild},
                                         std::pair{Command::Replace, Command::Add},
                                         std::pair{Command::Delete, Command::Rebuild},
                                         std::pair{Command::Add, Command::Delete},
                                         std::pair{Command::Rename, Command::Add},
                                         std::pair{Command::Extract, Command::Rebuild},
                                         std::pair{Command::Import, Command::Add},
                                         std::pair{Command::Import, Command::Rebuild}),
                       ::testing::Values(Layout::V1, Layout::V2)),
    CaseName);

// Another program holds the archive, reading it, for longer than a command waits.
class HeldArchive : public CliTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(HeldArchive, AWriterWaitsAShortWhileThenStopsWithTheMessage) {
  const std::wstring img = BuildArchive(tmp, GetParam(), {{"a.dff", Pattern(5000, 1)}});
  Source("new.dff", Pattern(700, 2));
  const Files before = Snapshot(tmp);
  auto reader =
      files->TryLock(GetParam() == Layout::V1 ? tmp.Path("test.dir") : img, LockKind::Shared);
  ASSERT_NE(reader, nullptr);
  EXPECT_EQ(Finish(Start({"add", Arg(img), Arg("new.dff")}, Arg("err.txt"))), 1);
  const Bytes err = ReadBytes(tmp.Path("err.txt"));
  EXPECT_EQ(std::string(err.begin(), err.end()), kBeingChanged);
  Files after = Snapshot(tmp);
  after.erase("err.txt");
  EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(Layouts, HeldArchive, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

}  // namespace
}  // namespace vandrel
