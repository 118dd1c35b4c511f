#include "tests/fuzz/fuzz_session.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/options.h"
#include "archive/img_archive.h"
#include "platform/scripted/scripted_platform.h"
#include "tests/fuzz/memory_file_system.h"

namespace vandrel::fuzz {
namespace {

// Room enough for every command on an archive of a few KiB, little enough to be filled in a
// moment when a damaged offset sends a write far out.
constexpr size_t kFileCap = size_t{256} << 10;
// Extract takes this many rows from each end of the list.
constexpr int kRowsEachEnd = 8;

constexpr wchar_t kArchiveFolder[] = L"/archive", kSourceFolder[] = L"/sources",
                  kOutputFolder[] = L"/output";

[[noreturn]] void Fail(const char* command, const char* what) {
  std::fprintf(stderr, "%s: %s\n", command, what);
  std::abort();
}

// The folders every run works in, in memory and made once per process: the archive's, the
// files to add and replace from, and the output folder for extracting.
struct Folders {
  MemoryFileSystem files{{kArchiveFolder, kSourceFolder, kOutputFolder}, kFileCap};
  std::vector<std::pair<std::wstring, Bytes>> sourceFiles;

  Folders() {
    // Empty, within one sector, and one byte more than three sectors.
    for (size_t size : {size_t{0}, size_t{100}, size_t{3 * 2048 + 1}}) {
      Bytes bytes(size);
      for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
      sourceFiles.emplace_back(
          std::wstring(kSourceFolder) + L"/source" + std::to_wstring(size) + L".dat", bytes);
      files.Put(sourceFiles.back().first, bytes);
    }
  }

  std::wstring Source(size_t index) const { return sourceFiles.at(index).first; }
  std::wstring Output() const { return kOutputFolder; }

  // Clears what the last run left and lays out this run's archive; returns the .img's path.
  std::wstring Lay(std::span<const uint8_t> img, std::optional<std::span<const uint8_t>> dir) {
    for (const wchar_t* folder : {kArchiveFolder, kOutputFolder}) files.Empty(folder);
    const std::wstring path = std::wstring(kArchiveFolder) + L"/test.img";
    files.Put(path, Bytes(img.begin(), img.end()));
    if (dir)
      files.Put(std::wstring(kArchiveFolder) + L"/test.dir", Bytes(dir->begin(), dir->end()));
    return path;
  }

  // Only the archive's folder and the output folder may change; the sources stay as they are.
  bool OnlyAllowedChanges() const {
    size_t sources = 0;
    for (const auto& [path, bytes] : files.files()) {
      if (InFolder(path, kArchiveFolder) || InFolder(path, kOutputFolder)) continue;
      ++sources;
      bool known = false;
      for (const auto& [source, original] : sourceFiles)
        known = known || (path == source && *bytes == original);
      if (!known) return false;
    }
    return sources == sourceFiles.size();
  }

 private:
  static bool InFolder(std::wstring_view path, std::wstring_view folder) {
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == L'/';
  }
};

class Session {
 public:
  Session(Folders& folders, std::wstring img) : folders_(folders), img_(std::move(img)) {
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
  int Rows() const { return list_.Count(); }
  const Folders& folders() const { return folders_; }
  scripted::Dialogs& dialogs() { return sp_.dialogs; }

  void Select(const std::vector<int>& rows, int caret) { list_.UserSelect(rows, caret); }
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
    if (!list_.enabled() || sp_.window.cursor() != Cursor::Default) Fail(name, "left busy");
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

  Folders& folders_;
  std::wstring img_;
  scripted::ScriptedPlatform sp_;
  // The rows' texts are made only for the rows a command reads, as the command line's are.
  EntryList list_;
  Platform platform_{sp_.window,   list_,          sp_.statusBar,   sp_.menus,
                     sp_.dialogs,  sp_.timers,     sp_.shell,       sp_.system,
                     sp_.registry, folders_.files, sp_.toolWindows, sp_.splash};
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
       s.dialogs().folderAnswers.push_back(s.folders().Output());
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
  static Folders folders;
  Session session(folders, folders.Lay(img, dir));
  if (!session.Open()) return;
  for (const Command& command : kCommands)
    if (!command.run(session)) return;
}

}  // namespace vandrel::fuzz
