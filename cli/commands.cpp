#include "cli/commands.h"

#include <algorithm>
#include <filesystem>
#include <numeric>
#include <optional>
#include <unordered_map>

#include "app/options.h"
#include "app/random.h"
#include "archive/archive_check.h"
#include "archive/img_archive.h"
#include "archive/new_archive.h"
#include "cli/import_queue.h"
#include "cli/name_match.h"
#include "cli/reports.h"
#include "ops/entry_name.h"
#include "ops/file_swap.h"
#include "ops/operation_record.h"
#include "ops/refused_files.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/utf8.h"

namespace vandrel::cli {
namespace {

namespace fs = std::filesystem;

fs::path PathOf(const std::wstring& text) {
  const std::string utf8 = ToUtf8(text);
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

// A name a folder lists, as the program's text. Not UTF-8, it has no text that would name that
// file (an overlong form turns into a separator); a backslash in it the program takes for one.
// Either way another file than the one listed would be read.
std::wstring TextOf(const fs::path& path) {
  const std::u8string utf8 = path.u8string();
  const std::string bytes(utf8.begin(), utf8.end());
  const std::u8string name = path.filename().u8string();
  if (!IsUtf8(bytes))
    throw AppError(Quoted(FromUtf8(bytes)) + L": the name is not valid UTF-8; nothing was added");
  if (name.find(u8'\\') != std::u8string::npos)
    throw AppError(Quoted(FromUtf8(bytes)) +
                   L": a backslash in a name would read as a folder; nothing was added");
  return FromUtf8(bytes);
}

// The open-file dialog takes only files that are there; the command line the same.
void RequireFile(const std::wstring& path) {
  std::error_code error;
  if (!fs::is_regular_file(PathOf(path), error))
    throw AppError(Quoted(path) + L": " + InOutErrorText(kErrFileNotFound));
}

// The files in the order given; a folder stands for its regular files in name order.
std::vector<std::wstring> FilesToAdd(const std::vector<std::wstring>& given) {
  std::vector<std::wstring> files;
  for (const auto& path : given) {
    std::error_code error;
    if (!fs::is_directory(PathOf(path), error)) {
      RequireFile(path);
      files.push_back(path);
      continue;
    }
    std::vector<fs::path> inFolder;
    for (const auto& item : fs::directory_iterator(PathOf(path)))
      if (item.is_regular_file()) inFolder.push_back(item.path());
    std::sort(inFolder.begin(), inFolder.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    for (const auto& file : inFolder) files.push_back(TextOf(file));
  }
  if (files.empty()) throw AppError(L"No files to add.");
  return files;
}

std::wstring WithoutTrailingBlanks(std::wstring text) {
  text.erase(text.find_last_not_of(L' ') + 1);
  return text;
}

// What changes cut short left in the archive's folder: the archive's own record, and files of
// the names that rebuilds and directory swaps give their temporary files, whichever archive of
// the folder they were for.
std::vector<std::wstring> Leftovers(IFileSystem& files, const std::wstring& img) {
  std::vector<std::wstring> found;
  fs::path folder = PathOf(img).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code error;
  for (fs::directory_iterator item(folder, error), end; !error && item != end;
       item.increment(error))
    if (item->is_regular_file(error) && IsTemporaryName(TextOf(item->path().filename())))
      found.push_back(TextOf(item->path()));
  std::sort(found.begin(), found.end());
  if (files.FileExists(RecordPath(img))) found.insert(found.begin(), RecordPath(img));
  return found;
}

// The archive's entries by name as the game tells names apart, in directory order, kept up to
// date as an import adds entries: looking a file up costs the same however many there are.
class GameNames {
 public:
  explicit GameNames(const std::vector<TIMGFileEntry>& files) {
    for (size_t i = 0; i < files.size(); ++i) Add(NameBytes(files[i]), static_cast<int>(i));
  }
  void Add(const std::string& name, int index) { entries_[EntryNameKey(name)].push_back(index); }
  // The entries of that name; empty when there is none.
  std::vector<int> Find(const std::string& name) const {
    const auto found = entries_.find(EntryNameKey(name));
    return found == entries_.end() ? std::vector<int>{} : found->second;
  }

 private:
  std::unordered_map<std::string, std::vector<int>> entries_;
};

// The bytes a file's name would have as an entry's. None when no entry can be named so: cut to
// the field or stored with "?", it would seem to name another entry; Add then says why not.
std::optional<std::string> EntryNameOf(const std::wstring& file) {
  const std::wstring name = paths::FileName(file);
  const NameProblem problem = CheckEntryName(name);
  if (problem == NameProblem::TooLong || problem == NameProblem::NotInCodePage) return {};
  return codepage::ToBytes(name);
}

}  // namespace

Session::Session(console::ConsolePlatform& console, std::ostream& out)
    : console_(console), platform_(console.platform()), fm_(platform_), out_(out) {
  Randomize(platform_.system.ClockSeed());
}

int Session::Run(const std::function<Request()>& parse) {
  int status = kExitFailed;
  fm_.Guarded([&] { status = Dispatch(parse()); });
  console_.progressLine.Clear();
  return console_.dialogs.failed() ? kExitFailed : status;
}

int Session::Dispatch(const Request& request) {
  using Command = int (Session::*)(const Request&);
  static const std::pair<const char*, Command> kCommands[] = {
      {"list", &Session::List},     {"extract", &Session::Extract}, {"add", &Session::Add},
      {"import", &Session::Import}, {"replace", &Session::Replace}, {"rename", &Session::Rename},
      {"delete", &Session::Delete}, {"rebuild", &Session::Rebuild}, {"new", &Session::New},
      {"check", &Session::Check}};
  Options.SortType = request.sortByName ? kSortByName : kSortByDirectory;
  for (const auto& [name, command] : kCommands)
    if (request.command == name) return (this->*command)(request);
  return kExitUsage;
}

bool Session::Open(const std::wstring& archive) {
  fm_.DoOpenArchive(archive);
  return IMGArchive.bLoaded;
}

void Session::Select(const std::vector<int>& indices) {
  std::vector<int> rowOf(static_cast<size_t>(IMGArchive.FileCount));
  const std::vector<int>& entries = console_.list.entries();
  for (size_t row = 0; row < entries.size(); ++row)
    rowOf.at(static_cast<size_t>(entries[row])) = static_cast<int>(row);
  std::vector<int> rows;
  for (int index : indices) rows.push_back(rowOf.at(static_cast<size_t>(index)));
  std::sort(rows.begin(), rows.end());
  console_.list.UserSelect(rows, rows.empty() ? 0 : rows.front());
}

int Session::Edit(void (TfmMain::*command)()) {
  (fm_.*command)();
  if (console_.dialogs.failed()) return kExitFailed;
  console_.progressLine.Clear();
  out_ << ToUtf8(WithoutTrailingBlanks(console_.statusBar.Text(0))) << '\n';
  return kExitOk;
}

int Session::List(const Request& request) {
  if (!Open(request.archive)) return kExitFailed;
  PrintList(out_, IMGArchive, console_.list.entries(), request.json);
  return kExitOk;
}

int Session::Extract(const Request& request) {
  std::error_code error;
  // The folder browser offers only folders that are there.
  if (!fs::is_directory(PathOf(request.output), error))
    throw AppError(Quoted(request.output) + L" is not a folder.");
  if (!Open(request.archive)) return kExitFailed;
  std::vector<int> indices(static_cast<size_t>(IMGArchive.FileCount));
  std::iota(indices.begin(), indices.end(), 0);
  if (!request.names.empty()) indices = MatchAll(IMGArchive.Files, request.names);
  if (indices.empty()) return kExitOk;
  Select(indices);
  console_.dialogs.answers.folder = request.output;
  return Edit(&TfmMain::ExtractFiles);
}

int Session::Add(const Request& request) {
  console_.dialogs.answers.files = FilesToAdd(request.files);
  if (!Open(request.archive)) return kExitFailed;
  return Edit(&TfmMain::AddFiles);
}

int Session::Import(const Request& request) {
  const std::vector<std::wstring> files = FilesToAdd(request.files);
  if (!Open(request.archive)) return kExitFailed;
  ImportReport report(out_, request.json);
  // A failure midway still prints the JSON document of the files done before it.
  const auto finish = [&] {
    console_.progressLine.Clear();
    report.Finish();
  };
  try {
    fm_.HoldArchiveWhile([&] { ImportFiles(files, report); });
  } catch (...) {
    finish();
    throw;
  }
  finish();
  const std::wstring refusals = report.Refusals();
  if (!refusals.empty()) fm_.ShowError(refusals);
  return kExitOk;
}

void Session::ImportFiles(const std::vector<std::wstring>& files, ImportReport& report) {
  GameNames names(IMGArchive.Files);
  // Each line starts where the progress line was.
  const auto done = [&](ImportedFile file) {
    console_.progressLine.Clear();
    report.Done(IMGArchive, std::move(file));
  };
  const OwnFiles own(platform_.files);
  ImportQueue queue(fm_, platform_.files, own, done);
  int n = 0;
  for (const std::wstring& file : files) {
    console_.progressLine.Show(ImportReport::Progress(++n, static_cast<int>(files.size())));
    const std::optional<std::string> name = EntryNameOf(file);
    const std::vector<int> alike = name ? names.Find(*name) : std::vector<int>{};
    if (!alike.empty()) {
      if (!queue.Replace(file, alike)) done(ImportReplacing(file, alike));
      continue;
    }
    if (const wchar_t* reason = RefusalReason(file, own.Holds(file))) {
      ImportedFile refused;
      refused.file = file;
      refused.result = ImportedFile::Result::Refused;
      refused.reason = reason;
      queue.Refuse(std::move(refused));
    } else {
      // A later file of the same name replaces the entry it becomes.
      names.Add(*name, queue.Add(file));
    }
  }
  queue.Run();
}

ImportedFile Session::ImportReplacing(const std::wstring& file, const std::vector<int>& alike) {
  const size_t boxes = console_.dialogs.errorBoxes();
  Select({alike.front()});
  console_.dialogs.answers.files = std::vector<std::wstring>{file};
  fm_.ReplaceFile();
  ImportedFile replaced;
  replaced.file = file;
  if (console_.dialogs.errorBoxes() > boxes) {
    replaced.result = ImportedFile::Result::Refused;
    replaced.reason = console_.dialogs.lastError();
  } else {
    replaced.result = ImportedFile::Result::Replaced;
    replaced.entry = alike.front();
    replaced.alike.assign(alike.begin() + 1, alike.end());
  }
  return replaced;
}

int Session::Replace(const Request& request) {
  RequireFile(request.file);
  if (!Open(request.archive)) return kExitFailed;
  Select({MatchOne(IMGArchive.Files, request.name)});
  console_.dialogs.answers.files = std::vector<std::wstring>{request.file};
  return Edit(&TfmMain::ReplaceFile);
}

int Session::Rename(const Request& request) {
  if (!Open(request.archive)) return kExitFailed;
  Select({MatchOne(IMGArchive.Files, request.name)});
  console_.dialogs.answers.text = request.newName;
  return Edit(&TfmMain::RenameFile);
}

int Session::Delete(const Request& request) {
  if (!Open(request.archive)) return kExitFailed;
  Select(MatchAll(IMGArchive.Files, request.names));
  return Edit(&TfmMain::DeleteFiles);
}

int Session::Rebuild(const Request& request) {
  if (!Open(request.archive)) return kExitFailed;
  return Edit(&TfmMain::RebuildArchive);
}

int Session::New(const Request& request) {
  CreateEmptyArchive(platform_.files, request.archive, request.version2);
  return kExitOk;
}

int Session::Check(const Request& request) {
  if (!Open(request.archive)) return kExitFailed;
  auto data = platform_.files.Open(IMGArchive.IMGFile, FileMode::ReadOnly);
  const int64_t length = data->Length();
  data->Close();
  CheckReport report = CheckArchive(IMGArchive.Files, IMGArchive.bVersion2, length);
  report.leftovers = Leftovers(platform_.files, IMGArchive.IMGFile);
  PrintCheck(out_, IMGArchive, report, request.json);
  return report.problems.empty() && report.leftovers.empty() ? kExitOk : kExitProblems;
}

}  // namespace vandrel::cli
