// vandrel-cli against what else lies on the disk: links, pipes and devices where files are
// expected, the archive given as a source of its own, and a disk that fills up.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/utf8.h"
#include "tests/cli/cli_fixture.h"

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr int kHung = -2;

class CliGuard : public CliTest {
 protected:
  CliGuard() {
    fs::create_directories(tmp.root() / "out");
    fs::create_directories(tmp.root() / "elsewhere");
  }

  // The command in a child process that may grow no file past 8 MiB and is killed when it
  // has not ended after a generous while: a command that blocks, or reads a file it is
  // appending to, fails the test instead of holding it or filling the disk.
  CliResult Guarded(const std::vector<std::string>& arguments) {
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
      ::signal(SIGXFSZ, SIG_IGN);
      const rlimit cap{8 << 20, 8 << 20};
      ::setrlimit(RLIMIT_FSIZE, &cap);
      const CliResult result = Cli(arguments);
      Put(out[1], result.out);
      Put(err[1], result.err);
      ::_exit(result.status);
    }
    ::close(out[1]);
    ::close(err[1]);
    int status = 0;
    bool ended = false;
    for (int wait = 0; wait < 3000 && !ended; ++wait) {
      ended = ::waitpid(child, &status, WNOHANG) == child;
      if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) {
      ::kill(child, SIGKILL);
      ::waitpid(child, &status, 0);
    }
    CliResult result{ended && WIFEXITED(status) ? WEXITSTATUS(status) : kHung, Take(out[0]),
                     Take(err[0])};
    return result;
  }
  static void Put(int fd, const std::string& text) {
    if (!text.empty() && ::write(fd, text.data(), text.size()) < 0) ::_exit(99);
    ::close(fd);
  }
  static std::string Take(int fd) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
      text.append(buffer, static_cast<size_t>(got));
    ::close(fd);
    return text;
  }

  fs::path At(const std::string& name) const { return tmp.root() / name; }
};

class CliOutside : public CliGuard, public ::testing::WithParamInterface<Layout> {
 protected:
  static bool IsRegular(const fs::path& path) {
    return fs::is_regular_file(fs::symlink_status(path));
  }

  // Every command, each as a user would give it for this archive.
  std::vector<std::vector<std::string>> EveryCommand(const std::wstring& archive) {
    const std::string path = Arg(archive), source = Arg(Source("source.dff", Pattern(100, 9)));
    return {{"list", path},
            {"check", path},
            {"extract", path, "-o", Arg("out")},
            {"add", path, source},
            {"replace", path, "#0", source},
            {"rename", path, "#0", "renamed.dff"},
            {"delete", path, "#0"},
            {"rebuild", path}};
  }

  std::vector<Item> items = {{"first.dff", Pattern(3000, 1)}, {"second.txd", Pattern(5000, 2)}};
  std::wstring img = BuildArchive(tmp, GetParam(), items);
};

// A link planted under an entry's name, to a file elsewhere or to none, or a pipe: the entry's
// own file takes its place, and nothing outside the folder is touched.
TEST_P(CliOutside, ExtractionReplacesALinkOrAPipeAndNeverWritesThroughIt) {
  items.push_back({"third.col", Pattern(100, 3)});
  img = BuildArchive(tmp, GetParam(), items);
  WriteBytes(tmp.Path("elsewhere/precious.txt"), Pattern(10, 4));
  fs::create_symlink(At("elsewhere/precious.txt"), At("out/first.dff"));
  fs::create_symlink(At("elsewhere/created.txd"), At("out/second.txd"));
  ASSERT_EQ(::mkfifo(At("out/third.col").c_str(), 0666), 0);

  CliResult result = Guarded({"extract", Arg(img), "-o", Arg("out")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(ReadBytes(tmp.Path("elsewhere/precious.txt")), Pattern(10, 4));
  EXPECT_FALSE(fs::exists(fs::symlink_status(At("elsewhere/created.txd"))));
  for (const Item& item : items) {
    EXPECT_TRUE(IsRegular(At("out/" + item.name))) << item.name;
    if (IsRegular(At("out/" + item.name))) {
      EXPECT_EQ(ReadBytes(tmp.Path("out/" + item.name)), Padded(item.data)) << item.name;
    }
  }
}

// Where the archive's .img or .dir is a link, a pipe or a device, every command stops at the
// open with one message, so none writes through a link and none waits for ever on a pipe.
TEST_P(CliOutside, AnArchiveFileThatIsNoRegularFileIsRefusedByEveryCommand) {
  std::vector<std::string> own = {"test.img"};
  if (GetParam() == Layout::V1) own.push_back("test.dir");
  for (const std::string& name : own) {
    for (const bool pipe : {false, true}) {
      const fs::path target = At("elsewhere/" + name);
      fs::rename(At(name), target);
      const Bytes held = ReadBytes(target.wstring());
      if (pipe)
        ASSERT_EQ(::mkfifo(At(name).c_str(), 0666), 0);
      else
        fs::create_symlink(target, At(name));
      const std::string refusal = Quoted(Arg(name)) +
                                  " is a link, a pipe or a device, not a regular file, so it "
                                  "cannot be opened as an archive.";
      for (const auto& command : EveryCommand(img)) {
        EXPECT_TRUE(FailedWith(Guarded(command), refusal)) << name << " " << command[0];
        EXPECT_EQ(ReadBytes(target.wstring()), held) << name << " " << command[0];
      }
      fs::remove(At(name));
      fs::rename(target, At(name));
    }
  }
  ExpectArchive(img, Entries(items));
}

// A device read as the data file would never end: an entry of 2^31-1 sectors extracted from
// /dev/zero would fill the disk.
TEST_F(CliGuard, ADeviceIsNoArchive) {
  EXPECT_TRUE(FailedWith(Guarded({"list", "/dev/zero"}),
                         "'/dev/zero' is a link, a pipe or a device, not a regular file, so it "
                         "cannot be opened as an archive."));
  const std::wstring pair = MakeV1(tmp, "zero", {{"endless.dat", 0, 0x7FFFFFFF}}, {});
  fs::remove(ToUtf8(pair));
  fs::create_symlink("/dev/zero", ToUtf8(pair));
  const CliResult result = Guarded({"extract", Arg(pair), "-o", Arg("out")});
  EXPECT_EQ(result.status, cli::kExitFailed) << result.err;
  EXPECT_FALSE(fs::exists(At("out/endless.dat")));
}

// The archive given as a source in any spelling (its name, a folder holding it, a link, a
// second hard link) is named and left out, and the other files are added.
constexpr char kOwnFileReason[] =
    ": it is one of the archive's own files, which would copy itself until the disk is full";

TEST_P(CliOutside, TheArchiveIsNeverASourceOfItsOwn) {
  const Bytes before = ReadBytes(img);
  fs::create_symlink(At("test.img"), At("elsewhere/link.img"));
  fs::create_hard_link(At("test.img"), At("elsewhere/hard.img"));
  const std::wstring added = Source("elsewhere/added.dff", Pattern(100, 5));
  const fs::path cwd = fs::current_path();
  fs::current_path(tmp.root());
  CliResult result = Guarded({"add", "test.img", "test.img", Arg(added), ".",
                              Arg("elsewhere/link.img"), Arg("elsewhere/hard.img")});
  fs::current_path(cwd);

  std::vector<std::string> named = {"test.img", "./test.img", Arg("elsewhere/link.img"),
                                    Arg("elsewhere/hard.img")};
  if (GetParam() == Layout::V1) named.insert(named.begin() + 1, "./test.dir");
  std::string refused = "Not added (" + std::to_string(named.size()) + " of " +
                        std::to_string(named.size() + 1) + " files):\n";
  for (const std::string& name : named) refused += Quoted(name) + kOwnFileReason + "\n";
  EXPECT_EQ(result.status, cli::kExitFailed);
  EXPECT_EQ(result.err, refused);
  std::vector<Expected> expected = Entries(items);
  expected.push_back({"added.dff", Padded(Pattern(100, 5))});
  ExpectArchive(img, expected);

  // Replacing an entry with the archive: refused, nothing changed.
  const Bytes after = ReadBytes(img);
  for (const std::string& source : {Arg(img), Arg("elsewhere/hard.img")})
    EXPECT_TRUE(FailedWith(Guarded({"replace", Arg(img), "#0", source}),
                           Quoted(source) + " is one of the archive's own files, so it cannot "
                                            "replace an entry; nothing was changed"));
  EXPECT_EQ(ReadBytes(img), after);
  EXPECT_NE(after, before);
}

// The window says how many of its files were added when it left one out.
TEST_P(CliOutside, TheWindowCountsTheFilesAddedWhenOneWasLeftOut) {
  Open(img);
  sp.dialogs.openFileAnswers.push_back(
      std::vector<std::wstring>{img, Source("new.dff", Pattern(10, 6))});
  Run(&TfmMain::AddFiles);
  EXPECT_EQ(LastBox(), L"Not added (1 of 2 files):\n'" + img + L"'" + FromUtf8(kOwnFileReason));
  EXPECT_EQ(sp.statusBar.Text(0), L"1 file(s) added, 1 refused.");
  sp.dialogs.openFileAnswers.push_back(
      std::vector<std::wstring>{Source("more.dff", Pattern(10, 7))});
  Run(&TfmMain::AddFiles);
  EXPECT_EQ(sp.statusBar.Text(0), L"File(s) added.");
}

// A small disk of its own, mounted for the test; root may mount one, others skip.
class SmallDisk {
 public:
  explicit SmallDisk(const fs::path& at) : at_(at) {
    mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=256k") == 0;
  }
  ~SmallDisk() {
    if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }

 private:
  fs::path at_;
  bool mounted_ = false;
};

// An add that fills the disk takes its copy back off the end: the data file is as long as it
// was, the archive is sound, and the room is there again for a file that fits.
TEST_P(CliOutside, AnAddThatFillsTheDiskLeavesTheDiskAsItWas) {
  TempDir small;
  SmallDisk disk(small.root());
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a small disk here";
  const std::wstring archive = BuildArchive(small, GetParam(), items);
  const auto length = fs::file_size(ToUtf8(archive));
  const std::wstring big = Source("big.dat", Pattern(512 * 1024, 7));
  EXPECT_TRUE(FailedWith(Guarded({"add", Arg(archive), Arg(big)}), "Disk full."));
  EXPECT_EQ(fs::file_size(ToUtf8(archive)), length);
  ExpectArchive(archive, Entries(items));

  const std::wstring fits = Source("fits.dat", Pattern(150 * 1024, 8));
  EXPECT_EQ(Guarded({"add", Arg(archive), Arg(fits)}).status, 0);
  std::vector<Expected> expected = Entries(items);
  expected.push_back({"fits.dat", Padded(Pattern(150 * 1024, 8))});
  ExpectArchive(archive, expected);
}

INSTANTIATE_TEST_SUITE_P(Layouts, CliOutside, ::testing::Values(Layout::V1, Layout::V2),
                         LayoutName);

}  // namespace
}  // namespace vandrel
