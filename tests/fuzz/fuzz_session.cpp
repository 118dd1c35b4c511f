#include "tests/fuzz/fuzz_session.h"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/options.h"
#include "archive/img_archive.h"
#include "platform/errors.h"
#include "platform/scripted/scripted_platform.h"

namespace vandrel::fuzz {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Room enough for every command on a small archive, little enough to be filled in a moment.
constexpr rlim_t kFileSizeLimit = rlim_t{8} << 20;
// Extract takes this many rows from each end of the list.
constexpr int kRowsEachEnd = 8;

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, std::span<const uint8_t> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::wstring Text(const fs::path& path) { return FromUtf8(path.string()); }

[[noreturn]] void Fail(const char* command, const char* what) {
  std::fprintf(stderr, "%s: %s\n", command, what);
  std::abort();
}

// The folders every run works in, made once per process: the archive's, the files to add and
// replace from, and the output folder for extracting.
struct Folders {
  fs::path root, archive, sources, output;
  std::vector<std::pair<fs::path, Bytes>> sourceFiles;

  Folders() {
    signal(SIGXFSZ, SIG_IGN);  // a write past the cap then fails as a full disk does
    const rlimit cap{kFileSizeLimit, kFileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &cap);
    root = fs::temp_directory_path() / ("vandrel-fuzz-" + std::to_string(getpid()));
    archive = root / "archive", sources = root / "sources", output = root / "output";
    for (const auto& folder : {archive, sources, output}) fs::create_directories(folder);
    // Empty, within one sector, and one byte more than three sectors.
    for (size_t size : {size_t{0}, size_t{100}, size_t{3 * 2048 + 1}}) {
      Bytes bytes(size);
      for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
      sourceFiles.emplace_back(sources / ("source" + std::to_string(size) + ".dat"), bytes);
      WriteFile(sourceFiles.back().first, bytes);
    }
  }
  ~Folders() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }

  std::wstring Source(size_t index) const { return Text(sourceFiles.at(index).first); }

  // Clears what the last run left and lays out this run's archive; returns the .img's path.
  fs::path Lay(std::span<const uint8_t> img, std::optional<std::span<const uint8_t>> dir) const {
    for (const auto& folder : {archive, output}) {
      fs::remove_all(folder);
      fs::create_directory(folder);
    }
    WriteFile(archive / "test.img", img);
    if (dir) WriteFile(archive / "test.dir", *dir);
    return archive / "test.img";
  }

  // Only the archive's folder and the output folder may change, and neither may gain a folder.
  bool OnlyAllowedChanges() const {
    for (const auto& entry : fs::directory_iterator(root))
      if (entry.path() != archive && entry.path() != sources && entry.path() != output)
        return false;
    for (const auto& folder : {archive, output})
      for (const auto& entry : fs::directory_iterator(folder))
        if (!entry.is_regular_file()) return false;
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(sources)) ++count, (void)entry;
    if (count != sourceFiles.size()) return false;
    for (const auto& [path, bytes] : sourceFiles)
      if (ReadFile(path) != bytes) return false;
    return true;
  }
};

class Session {
 public:
  Session(const Folders& folders, fs::path img) : folders_(folders), img_(Text(img)) {
    IMGArchive = {};
    Options = {};
  }
  ~Session() {
    IMGArchive = {};
    Options = {};
  }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  bool Open() {
    fm_.Guarded([&] { fm_.DoOpenArchive(img_); });
    return IMGArchive.bLoaded;
  }
  int Rows() const { return sp_.list.Count(); }
  const Folders& folders() const { return folders_; }
  scripted::Dialogs& dialogs() { return sp_.dialogs; }

  void Select(const std::vector<int>& rows, int caret) { sp_.list.UserSelect(rows, caret); }
  // Rows from both ends of the list, where damaged entries tend to sit.
  void SelectEnds() {
    std::vector<int> rows;
    for (int row = 0; row < Rows(); ++row)
      if (row < kRowsEachEnd || row >= Rows() - kRowsEachEnd) rows.push_back(row);
    Select(rows, rows.empty() ? 0 : rows.front());
  }

  // Runs a command and checks what it left behind. Returns whether the archive is still open.
  bool Run(const char* name, void (TfmMain::*command)()) {
    fm_.Guarded([&] { (fm_.*command)(); });
    if (!sp_.list.enabled() || sp_.window.cursor() != Cursor::Default) Fail(name, "left busy");
    if (!folders_.OnlyAllowedChanges()) Fail(name, "wrote outside its folders");
    if (!IMGArchive.bLoaded) return false;
    const TIMGArchive inMemory = IMGArchive;
    if (!Open()) return false;
    if (!SameRecord(inMemory, IMGArchive)) Fail(name, "memory and disk differ");
    return true;
  }

 private:
  static bool SameRecord(const TIMGArchive& a, const TIMGArchive& b) {
    if (a.FileCount != b.FileCount || a.bVersion2 != b.bVersion2 ||
        a.Files.size() != b.Files.size())
      return false;
    for (size_t i = 0; i < a.Files.size(); ++i)
      if (a.Files[i].Offset != b.Files[i].Offset || a.Files[i].Size != b.Files[i].Size ||
          a.Files[i].Name != b.Files[i].Name)
        return false;
    return true;
  }

  const Folders& folders_;
  std::wstring img_;
  scripted::ScriptedPlatform sp_;
  Platform platform_{sp_.platform()};
  TfmMain fm_{platform_};
};

struct Command {
  const char* name;
  bool (*run)(Session&);
};

// Every command as a user gives it, on rows from the ends of the list. A command joins the
// session with one line here.
const Command kCommands[] = {
    {"extract",
     [](Session& s) {
       s.SelectEnds();
       s.dialogs().folderAnswers.push_back(Text(s.folders().output));
       return s.Run("extract", &TfmMain::ExtractFiles);
     }},
    {"replace in place",
     [](Session& s) {
       if (s.Rows() == 0) return true;
       s.Select({0}, 0);
       s.dialogs().openFileAnswers.push_back(std::vector{s.folders().Source(1)});
       return s.Run("replace in place", &TfmMain::ReplaceFile);
     }},
    {"replace larger",
     [](Session& s) {
       if (s.Rows() == 0) return true;
       s.Select({s.Rows() - 1}, s.Rows() - 1);
       s.dialogs().openFileAnswers.push_back(std::vector{s.folders().Source(2)});
       return s.Run("replace larger", &TfmMain::ReplaceFile);
     }},
    {"add",
     [](Session& s) {
       s.dialogs().openFileAnswers.push_back(
           std::vector{s.folders().Source(1), s.folders().Source(0), s.folders().Source(2)});
       return s.Run("add", &TfmMain::AddFiles);
     }},
    {"rename",
     [](Session& s) {
       if (s.Rows() == 0) return true;
       s.Select({0}, 0);
       s.dialogs().inputAnswers.push_back(L"renamed.dff");
       return s.Run("rename", &TfmMain::RenameFile);
     }},
    {"delete",
     [](Session& s) {
       if (s.Rows() == 0) return true;
       s.Select({0, s.Rows() - 1}, 0);
       s.dialogs().questionAnswers.push_back(MessageResult::Yes);
       return s.Run("delete", &TfmMain::DeleteFiles);
     }},
    {"rebuild",
     [](Session& s) {
       s.dialogs().questionAnswers.push_back(MessageResult::Yes);
       return s.Run("rebuild", &TfmMain::RebuildArchive);
     }},
};

}  // namespace

void RunSession(std::span<const uint8_t> img, std::optional<std::span<const uint8_t>> dir) {
  static const Folders folders;
  Session session(folders, folders.Lay(img, dir));
  if (!session.Open()) return;
  for (const Command& command : kCommands)
    if (!command.run(session)) return;
}

}  // namespace vandrel::fuzz
