// Extracting entries: one file per selected entry, holding all of its sectors.
#include <string>

#include "app/main_window.h"
#include "app/options.h"
#include "archive/img_archive.h"
#include "ops/archive_hold.h"
#include "ops/file_swap.h"
#include "ops/name_table.h"
#include "ops/progress.h"
#include "ops/safe_name.h"
#include "ops/sector_copy.h"
#include "platform/errors.h"

namespace vandrel {
namespace {

constexpr wchar_t kBrowseTitle[] = L"Choose the directory you want to extract to...";
constexpr wchar_t kBrowseCaption[] = L"Extract Files...";
constexpr wchar_t kProgress[] = L"Извлечение    ";
constexpr wchar_t kExtracted[] = L"File(s) extracted.";

std::wstring Overwritten(int count) {
  return L"File(s) extracted; " + std::to_wstring(count) +
         L" overwritten by a later entry of the same file name.";
}

// A link, pipe or device under the entry's name is replaced by the entry's file, like any file
// of that name: written through, it would change a file outside the folder, create one there,
// or block the extraction for ever.
std::unique_ptr<IFile> CreateInPlaceOf(IFileSystem& files, const std::wstring& path) {
  try {
    return files.Open(path, FileMode::Create, FileKind::Own);
  } catch (const InOutError& error) {
    if (error.Code() != kErrNotAFile) throw;
  }
  if (!files.Delete(path)) throw InOutError(kErrAccessDenied);
  return files.Open(path, FileMode::CreateNew);
}

// The batch stops at an entry whose name cannot be a file; the user must know which it is.
[[noreturn]] void RefuseName(const std::wstring& name) {
  throw AppError(Quoted(name) + L": " + InOutErrorText(kErrInvalidFilename));
}

std::wstring Stopped(const std::wstring& name, int extracted, int selected) {
  return L"Stopped at " + Quoted(name) + L": " + std::to_wstring(extracted) + L" of " +
         std::to_wstring(selected) + L" file(s) extracted.";
}

// A file of the entry's name that is there already is replaced, unless it is one of the
// archive's own files: replacing the .img would empty the very archive being read, and the .dir
// would take every entry's name and place with it.
std::unique_ptr<IFile> CreateOutput(IFileSystem& files, const std::wstring& folder,
                                    const std::wstring& name) {
  if (!IsSafeOutputName(name)) RefuseName(name);
  const std::wstring path = folder + name;
  try {
    return files.Open(path, FileMode::CreateNew);
  } catch (const InOutError& error) {
    if (error.Code() == kErrInvalidFilename) RefuseName(name);
    if (error.Code() != kErrFileExists) throw;
  }
  if (IsArchiveFile(files, path)) throw InOutError(kErrAccessDenied);
  return CreateInPlaceOf(files, path);
}

}  // namespace

void TfmMain::ExtractFiles() {
  if (p_.list.SelectedCount() == 0) return;
  auto chosen = p_.dialogs.BrowseForFolder({kBrowseTitle, kBrowseCaption, Options.LastFileDir});
  if (!chosen) return;
  Working(true);
  // Always appended, so a drive's root ends in two backslashes, as it always has.
  const std::wstring folder = *chosen + L"\\";
  Options.LastFileDir = folder;
  const auto hold = HoldArchive(LockKind::Shared);
  if (!hold) return;

  const std::vector<int> rows = p_.list.SelectedRows();
  const int m = static_cast<int>(rows.size());
  // Opened once for the whole batch, not once per entry; closed when the batch ends, or on the
  // way out when it fails.
  auto img = p_.files.Open(IMGArchive.IMGFile, FileMode::ReadOnly, FileKind::Own);
  SectorBuffer buffer;
  ProgressPace pace(p_.system, m);
  // Windows's disks know no case, so entries whose names differ only in it make one file there;
  // counted the same on every disk, so that the count tells what Windows would keep.
  const std::vector<int> firstOfName = FirstOfEachName(rows.size(), [&](int position) {
    return FileNameKey(
        NameText(IMGArchive.Files.at(static_cast<size_t>(GetFileIndex(rows[size_t(position)])))));
  });
  int n = 0, overwritten = 0;
  for (int row : rows) {
    ShowProgress(pace, ++n, kProgress, ProgressWithPercent);
    const int index = GetFileIndex(row);
    try {
      DoExtractFile(*img, index, folder, buffer);
    } catch (...) {
      Status(Stopped(NameText(IMGArchive.Files.at(static_cast<size_t>(index))), n - 1, m));
      throw;
    }
    if (firstOfName[static_cast<size_t>(n - 1)] != n - 1) ++overwritten;
  }
  Status(kExtracted);
  img->Close();
  if (overwritten > 0) Status(Overwritten(overwritten));
  Working(false);
}

void TfmMain::DoExtractFile(IFile& img, int index, const std::wstring& folder,
                            SectorBuffer& buffer) {
  const TIMGFileEntry& entry = IMGArchive.Files.at(static_cast<size_t>(index));
  const std::wstring name = NameText(entry);
  auto output = CreateOutput(p_.files, folder, name);
  try {
    // The system's copy: on tmpfs it took an eighth less time than the buffer's reads and
    // writes; on ext4 making the files costs all the rest.
    buffer.CopyLongRun(img, entry.Offset * kSectorSize, *output, 0, entry.Size);
    output->Close();
  } catch (...) {
    // Half an entry among the whole ones would pass for one of them.
    output.reset();
    DeleteQuietly(p_.files, folder + name);
    throw;
  }
}

}  // namespace vandrel
