// Adding files as new entries at the end of the archive.
#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "app/main_window.h"
#include "app/options.h"
#include "app/texts.h"
#include "archive/archive_check.h"
#include "archive/img_archive.h"
#include "ops/append.h"
#include "ops/archive_hold.h"
#include "ops/directory_io.h"
#include "ops/progress.h"
#include "ops/refused_files.h"
#include "ops/sector_copy.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/paths.h"

namespace vandrel {
namespace {

constexpr wchar_t kDialogTitle[] = L"Добавить... ";
constexpr wchar_t kFilterText[] = L"Все файлы(*.*)";
constexpr wchar_t kProgress[] = L"Добавление";
constexpr wchar_t kMovingFirst[] = L"V2 DIR space required. Moving first file to end.";
constexpr wchar_t kAdded[] = L"File(s) added.";
constexpr wchar_t kDamaged[] =
    L"The archive's directory is damaged: entries that must move to make room for it share "
    L"sectors or hold negative numbers";

TIMGFileEntry NewEntry(const std::wstring& fileName, const AppendedData& data) {
  TIMGFileEntry entry;
  entry.Offset = data.offset;
  entry.Size = data.size;
  SetNameBytes(entry, codepage::ToBytes(paths::FileName(fileName)));
  return entry;
}

// The entry whose data lies first in the file; the earliest in directory order on a tie.
int LowestEntry(const std::vector<TIMGFileEntry>& files) {
  auto lowest = std::min_element(files.begin(), files.end(),
                                 [](const auto& a, const auto& b) { return a.Offset < b.Offset; });
  return static_cast<int>(lowest - files.begin());
}

// The record follows each entry as soon as the disk holds it, so a failure later in the batch
// leaves the two agreeing, and the next file of a version-2 batch takes the next slot.
void Recorded(const TIMGFileEntry& entry) {
  IMGArchive.Files.push_back(entry);
  ++IMGArchive.FileCount;
}

// The entries that must move to the end to let the directory grow to `grownEnd` are copied
// once each, so their data must lie in the file and share no sector: then making room never
// copies more than the file holds. A damaged directory is refused before anything moves.
void CheckMovable(const std::vector<TIMGFileEntry>& files, int64_t grownEnd, int64_t length) {
  std::vector<TIMGFileEntry> moving;
  for (const auto& entry : files)
    if (entry.Offset * kSectorSize < grownEnd) moving.push_back(entry);
  const auto problems = CheckArchive(moving, false, length).problems;
  for (const Problem& problem : problems)
    if (problem.kind != ProblemKind::PastEnd) throw AppError(kDamaged);
  if (!problems.empty()) throw InOutError(kErrReadBeyondEnd);
}

}  // namespace

// What the files of one Add share: the archive's files, each opened when the first file needs
// it and kept open to the end of the batch, one copy buffer, and where a version-2 archive's
// first data lie. Opening and closing the archive for every file, and looking through every
// entry for the lowest one, made adding many small files cost many times copying them.
class AddBatch {
 public:
  explicit AddBatch(IFileSystem& files) : files_(files) {}

  IFile& Img() { return Opened(img_, IMGArchive.IMGFile); }
  IFile& Dir() { return Opened(dir_, IMGArchive.DIRFile); }
  SectorBuffer& Buffer() { return buffer_; }

  // The data file's length: asked once, then kept up as files are appended.
  int64_t ImgLength() {
    if (!imgLength_) imgLength_ = Img().Length();
    return *imgLength_;
  }
  // Appends `source` behind `reservedEnd`.
  AppendedData Append(IFile& source, int64_t reservedEnd) {
    const AppendedData data = AppendFile(Img(), ImgLength(), source, reservedEnd, buffer_);
    imgLength_ = LengthAfter(data, *imgLength_);
    return data;
  }

  // Where the first data lie: found once, then kept up as entries are added.
  int64_t FirstData() {
    if (!firstData_) firstData_ = FirstDataByte(IMGArchive.Files);
    return *firstData_;
  }
  void Added(const TIMGFileEntry& entry) {
    if (firstData_) firstData_ = std::min(*firstData_, int64_t{entry.Offset} * kSectorSize);
  }
  // After entries moved to the end, the next file finds the first data and the length afresh.
  void Moved() {
    firstData_.reset();
    imgLength_.reset();
  }

  // Closed in the order they were opened; a failure before then closes them on the way out.
  void Close() {
    if (img_) img_->Close();
    if (dir_) dir_->Close();
  }

 private:
  IFile& Opened(std::unique_ptr<IFile>& file, const std::wstring& path) {
    if (!file) file = files_.Open(path, FileMode::ReadWrite, FileKind::Own);
    return *file;
  }

  IFileSystem& files_;
  std::unique_ptr<IFile> img_, dir_;
  SectorBuffer buffer_;
  std::optional<int64_t> firstData_, imgLength_;
};

void TfmMain::AddFiles() {
  OpenFileRequest request;
  request.title = kDialogTitle;
  request.filters = {{kFilterText, kEveryFilePattern}};
  request.initialDir = Options.LastFileDir;
  request.multiSelect = true;
  auto chosen = p_.dialogs.OpenFile(request);
  if (!chosen || chosen->empty()) return;
  AddChosenFiles(*chosen);
}

void TfmMain::AddChosenFiles(const std::vector<std::wstring>& files) {
  std::vector<AppendedFile> added;
  for (const std::wstring& file : files) added.push_back({file});
  size_t done = 0;
  AppendChosenFiles(added, done);
}

void TfmMain::AppendChosenFiles(const std::vector<AppendedFile>& files, size_t& done) {
  Working(true);
  Options.LastFileDir = paths::Folder(files.front().file);
  const auto hold = HoldArchive(LockKind::Exclusive);
  if (!hold) return;

  ProgressPace pace(p_.system, static_cast<int>(files.size()));
  int n = 0;
  RefusedFiles refused;
  const OwnFiles own(p_.files);
  try {
    AddBatch batch(p_.files);
    for (const AppendedFile& file : files) {
      ShowProgress(pace, ++n, kProgress, ProgressCount);
      // Relocations were checked when decided; a new file that is the archive itself would grow
      // it until the disk is full.
      if (file.replacing >= 0) {
        auto source = p_.files.Open(file.file, FileMode::ReadOnly, FileKind::Regular);
        RelocateData(batch.Img(), file.replacing, *source, batch.Buffer());
        source->Close();
        // The entry that lay first may have moved away.
        batch.Moved();
      } else if (refused.Admit(file.file, own.Holds(file.file))) {
        if (IMGArchive.bVersion2)
          DoAddFileV2(batch, file.file);
        else
          DoAddFile(batch, file.file);
      }
      ++done;
    }
    batch.Close();
  } catch (...) {
    // The files added before the failure are in the archive and the record: the list shows them.
    UpdateDisplay();
    throw;
  }
  // A copy: reopening clears the record that holds the path.
  const std::wstring archive = IMGArchive.IMGFile;
  DoOpenArchive(archive);
  if (p_.list.Count() > 0) p_.list.SetCaret(p_.list.Count() - 1);
  Status(refused.Status(kAdded, files.size()));
  Working(false);
  if (!refused.empty()) ShowError(refused.Report(files.size()));
}

void TfmMain::DoAddFile(AddBatch& batch, const std::wstring& fileName) {
  auto source = p_.files.Open(fileName, FileMode::ReadOnly, FileKind::Regular);
  const TIMGFileEntry entry = NewEntry(fileName, batch.Append(*source, 0));
  source->Close();

  IFile& dir = batch.Dir();
  // Behind the last whole record: stray bytes after it are not part of the directory.
  WriteEntryAt(dir, dir.Length() / kEntrySize * kEntrySize, entry);
  Recorded(entry);
}

void TfmMain::DoAddFileV2(AddBatch& batch, const std::wstring& fileName) {
  IFile& img = batch.Img();
  auto source = p_.files.Open(fileName, FileMode::ReadOnly, FileKind::Regular);
  SectorBuffer& buffer = batch.Buffer();
  auto& files = IMGArchive.Files;
  const int64_t slot = SlotPositionV2(IMGArchive.FileCount);
  const int64_t grownEnd = slot + kEntrySize;

  if (batch.FirstData() < grownEnd) {
    CheckMovable(files, grownEnd, batch.ImgLength());
    // Each move lands behind the grown directory, so no entry moves twice and the loop ends.
    while (!files.empty()) {
      TIMGFileEntry& first = files[static_cast<size_t>(LowestEntry(files))];
      if (first.Offset * kSectorSize >= grownEnd) break;
      Status(kMovingFirst);
      const int32_t target = StartAppend(img, grownEnd, buffer);
      buffer.CopySectors(img, first.Offset * kSectorSize, img, target * kSectorSize, first.Size);
      TIMGFileEntry moved = first;
      moved.Offset = target;
      WriteEntryAt(img, SlotPositionV2(&first - files.data()), moved);
      first = moved;
    }
    batch.Moved();
  }

  const TIMGFileEntry entry = NewEntry(fileName, batch.Append(*source, grownEnd));
  source->Close();
  // The slot before the count that takes it in: a process dying between the two leaves the
  // old directory, never a count that covers a slot not yet written.
  WriteEntryAt(img, slot, entry);
  WriteHeaderV2(img, IMGArchive.FileCount + 1);
  Recorded(entry);
  batch.Added(entry);
}

}  // namespace vandrel
