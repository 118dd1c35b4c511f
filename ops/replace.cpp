// Replacing one entry's data with a file: in place when it fits, otherwise (version 2 only)
// appended at the end with the entry pointed there.
#include <string>

#include "app/main_window.h"
#include "app/options.h"
#include "app/texts.h"
#include "archive/img_archive.h"
#include "ops/append.h"
#include "ops/archive_hold.h"
#include "ops/directory_io.h"
#include "ops/operation_record.h"
#include "ops/replace_fit.h"
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

// Why the file cannot go in place where version 1, with no room to move data to, refuses it.
std::wstring Refusal(InPlaceFit fit, const std::wstring& path, const TIMGFileEntry& entry) {
  switch (fit) {
    case InPlaceFit::OwnFile:
      return Quoted(path) + text::kArchivesOwnFile + kCannotReplace;
    case InPlaceFit::TooBig:
      return kTooBig + NameText(entry) + L"'";
    case InPlaceFit::Outside:
      return kOutside + NameText(entry) + kOutsideEnd;
    case InPlaceFit::Shared:
    case InPlaceFit::Fits:
      break;
  }
  return kOutside + NameText(entry) + kSharedEnd;
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

  auto hold = HoldArchive(LockKind::Exclusive);
  if (!hold) return;
  const InPlaceFit fit = FitInPlace(p_.files, OwnFiles(p_.files), index, path);
  if (fit == InPlaceFit::OwnFile || (fit != InPlaceFit::Fits && !IMGArchive.bVersion2)) {
    hold.reset();
    ShowError(Refusal(fit, path, entry));
    return;
  }
  Working(true);
  if (fit == InPlaceFit::Fits) {
    ReplaceInPlace({{index, path}});
    if (IMGArchive.bVersion2) UpdateDisplay();
  } else {
    // An area the directory points at wrongly, or shares with another entry, is left alone;
    // the data go to the end instead.
    auto img = p_.files.Open(IMGArchive.IMGFile, FileMode::ReadWrite, FileKind::Own);
    auto replacement = p_.files.Open(path, FileMode::ReadOnly, FileKind::Regular);
    SectorBuffer buffer;
    RelocateData(*img, index, *replacement, buffer);
    // The list shows the moved entry before the files are closed: a failing close must not
    // leave it showing the old area while the record and the slot hold the new one.
    UpdateDisplay();
    replacement->Close();
    img->Close();
  }
  Status(IMGArchive.bVersion2 ? kReplacedV2 : kReplacedV1);
  Working(false);
}

// Each area takes its replacement's bytes, then zero bytes to its end. The copy never runs
// past the area, even when the file has grown since its size was looked at. The bytes go
// through one record beside the archive first, so a replacement that cannot be read leaves the
// archive untouched, and every area holds its old bytes or its new ones whenever the process
// dies; the record and the archive are flushed once each, however many files there are.
void TfmMain::ReplaceInPlace(const std::vector<InPlaceReplacement>& replacements) {
  SectorBuffer buffer;
  std::vector<AreaWrite> areas;
  for (const InPlaceReplacement& replacement : replacements) {
    const TIMGFileEntry& entry = IMGArchive.Files.at(static_cast<size_t>(replacement.index));
    const int64_t area = AreaBytes(entry);
    areas.push_back({entry.Offset * kSectorSize, area, [&, area](IFile& record) {
                       auto source =
                           p_.files.Open(replacement.file, FileMode::ReadOnly, FileKind::Regular);
                       buffer.CopyAll(*source, record, area);
                       source->Close();
                     }});
  }
  try {
    auto img = p_.files.Open(IMGArchive.IMGFile, FileMode::ReadWrite, FileKind::Own);
    WriteThroughRecord(p_.files, IMGArchive.IMGFile, *img, RecordKind::Replaces, areas, buffer);
    img->Close();
  } catch (...) {
    // The record is complete when writing the areas failed: reopening finishes the replace.
    if (p_.files.FileExists(RecordPath(IMGArchive.IMGFile))) RereadAfterFailure();
    throw;
  }
}

void TfmMain::RelocateData(IFile& img, int index, IFile& replacement, SectorBuffer& buffer) {
  TIMGFileEntry& entry = IMGArchive.Files.at(static_cast<size_t>(index));
  TIMGFileEntry moved = entry;
  const AppendedData data =
      AppendFile(img, img.Length(), replacement, SlotPositionV2(IMGArchive.FileCount), buffer);
  moved.Offset = data.offset;
  moved.Size = data.size;
  WriteEntryAt(img, SlotPositionV2(index), moved);
  // The record changes only with its slot, so a failure leaves the two agreeing.
  entry = moved;
}

}  // namespace vandrel
