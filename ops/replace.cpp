// Replacing one entry's data with a file: in place when it fits, otherwise (version 2 only)
// appended at the end with the entry pointed there.
#include <string>

#include "app/main_window.h"
#include "app/options.h"
#include "app/texts.h"
#include "archive/archive_check.h"
#include "archive/img_archive.h"
#include "ops/append.h"
#include "ops/archive_hold.h"
#include "ops/directory_io.h"
#include "ops/operation_record.h"
#include "ops/sector_copy.h"
#include "platform/errors.h"
#include "platform/paths.h"

namespace vandrel {
namespace {

constexpr wchar_t kDialogTitle[] = L"Замена... ";
constexpr wchar_t kFilterText[] = L"Все файлы (*.*)";
constexpr wchar_t kCannotReplace[] = L", so it cannot replace an entry; nothing was changed";
constexpr wchar_t kTooBig[] = L"File is too big to replace '";
constexpr wchar_t kReplacedV1[] = L"Файл заменён  ";
constexpr wchar_t kReplacedV2[] = L"File replaced.";
constexpr wchar_t kOutside[] = L"The archive's directory is damaged: the data of '";
constexpr wchar_t kOutsideEnd[] = L"' lie outside the archive, so nothing was replaced";
constexpr wchar_t kSharedEnd[] = L"' share sectors with another entry, so nothing was replaced";

int64_t AreaBytes(const TIMGFileEntry& entry) { return entry.Size * kSectorSize; }

// A damaged directory may point anywhere: writing in place is only for an area that lies
// within the data file and behind a version-2 directory (`directoryEnd`, 0 in version 1).
bool AreaInside(const TIMGFileEntry& entry, int64_t length, int64_t directoryEnd) {
  const int64_t start = entry.Offset * kSectorSize;
  return entry.Offset >= 0 && entry.Size >= 0 && start + AreaBytes(entry) <= length &&
         (entry.Size == 0 || start >= directoryEnd);
}

// The area takes the replacement's bytes, then zero bytes to its end. The copy never runs past
// the area, even when the file has grown since its size was looked at. The bytes go through a
// record beside the archive first, so a replacement that cannot be read leaves the archive
// untouched, and the area holds its old bytes or its new ones whenever the process dies.
void ReplaceInPlace(IFileSystem& files, IFile& img, IFile& replacement, const TIMGFileEntry& entry,
                    SectorBuffer& buffer) {
  WriteThroughRecord(
      files, IMGArchive.IMGFile, img, RecordKind::Replace, entry.Offset * kSectorSize,
      AreaBytes(entry),
      [&](IFile& record) { buffer.CopyAll(replacement, record, AreaBytes(entry)); }, buffer);
}

}  // namespace

void TfmMain::ReplaceFile() {
  if (p_.list.SelectedCount() != 1) return;
  const int index = GetFileIndex(p_.list.Caret());
  const TIMGFileEntry& entry = IMGArchive.Files.at(static_cast<size_t>(index));

  OpenFileRequest request;
  request.title = kDialogTitle;
  request.filters = {{kFilterText, kEveryFilePattern}};
  request.initialDir = Options.LastFileDir;
  request.fileName = NameText(entry);
  auto chosen = p_.dialogs.OpenFile(request);
  if (!chosen || chosen->empty()) return;
  const std::wstring& path = chosen->front();
  Options.LastFileDir = paths::Folder(path);

  // Read into itself, the archive would grow until the disk is full.
  if (IsArchiveFile(p_.files, path)) {
    ShowError(Quoted(path) + text::kArchivesOwnFile + kCannotReplace);
    return;
  }
  auto hold = HoldArchive(LockKind::Exclusive);
  if (!hold) return;
  if (IMGArchive.bVersion2) {
    DoReplaceFileV2(index, path);
  } else if (GetFileSizeByName(path) > AreaBytes(entry)) {
    hold.reset();
    ShowError(kTooBig + NameText(entry) + L"'");
  } else {
    DoReplaceFile(index, path);
  }
}

void TfmMain::DoReplaceFile(int index, const std::wstring& fileName) {
  Working(true);
  const TIMGFileEntry& entry = IMGArchive.Files.at(static_cast<size_t>(index));
  auto img = p_.files.Open(IMGArchive.IMGFile, FileMode::ReadWrite, FileKind::Own);
  auto replacement = p_.files.Open(fileName, FileMode::ReadOnly, FileKind::Regular);
  // Version 1 has no room to move the data to; an area it cannot write in place is refused.
  const wchar_t* refusal = !AreaInside(entry, img->Length(), 0)             ? kOutsideEnd
                           : SharesSectors(IMGArchive.Files, size_t(index)) ? kSharedEnd
                                                                            : nullptr;
  if (refusal) {
    replacement->Close();
    img->Close();
    ShowError(kOutside + NameText(entry) + refusal);
    Working(false);
    return;
  }
  SectorBuffer buffer;
  try {
    ReplaceInPlace(p_.files, *img, *replacement, entry, buffer);
  } catch (...) {
    // The record is complete when writing the area failed: reopening finishes the replace.
    if (p_.files.FileExists(RecordPath(IMGArchive.IMGFile))) RereadAfterFailure();
    throw;
  }
  replacement->Close();
  img->Close();
  Status(kReplacedV1);
  Working(false);
}

void TfmMain::DoReplaceFileV2(int index, const std::wstring& fileName) {
  Working(true);
  TIMGFileEntry& entry = IMGArchive.Files.at(static_cast<size_t>(index));
  auto img = p_.files.Open(IMGArchive.IMGFile, FileMode::ReadWrite, FileKind::Own);
  auto replacement = p_.files.Open(fileName, FileMode::ReadOnly, FileKind::Regular);
  SectorBuffer buffer;
  const int64_t directoryEnd = SlotPositionV2(IMGArchive.FileCount);
  // An area the directory points at wrongly, or shares with another entry, is left alone; the
  // data go to the end instead.
  if (GetFileSizeByName(fileName) > AreaBytes(entry) ||
      !AreaInside(entry, img->Length(), directoryEnd) ||
      SharesSectors(IMGArchive.Files, size_t(index))) {
    TIMGFileEntry moved = entry;
    const AppendedData data = AppendFile(*img, img->Length(), *replacement, directoryEnd, buffer);
    moved.Offset = data.offset;
    moved.Size = data.size;
    WriteEntryAt(*img, SlotPositionV2(index), moved);
    // The record changes only with its slot, so a failure leaves the two agreeing.
    entry = moved;
  } else {
    try {
      ReplaceInPlace(p_.files, *img, *replacement, entry, buffer);
    } catch (...) {
      if (p_.files.FileExists(RecordPath(IMGArchive.IMGFile))) RereadAfterFailure();
      throw;
    }
  }
  // The list shows the moved entry before the files are closed: a failing close must not leave
  // it showing the old area while the record and the slot hold the new one.
  UpdateDisplay();
  replacement->Close();
  img->Close();
  Status(kReplacedV2);
  Working(false);
}

}  // namespace vandrel
