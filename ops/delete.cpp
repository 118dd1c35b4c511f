// Deleting entries: only the directory changes; the data stays where it is until a rebuild.
// The directory is written once for the whole selection, never left holding part of it.
#include <algorithm>
#include <functional>
#include <string>

#include "app/main_window.h"
#include "app/texts.h"
#include "archive/errors.h"
#include "archive/img_archive.h"
#include "ops/archive_hold.h"
#include "ops/directory_io.h"
#include "ops/file_swap.h"
#include "ops/operation_record.h"
#include "ops/progress.h"

namespace vandrel {
namespace {

constexpr wchar_t kAskDelete[] = L"Удалить выбранные файлы?                           ";
constexpr wchar_t kProgress[] = L"Удаление    ";
constexpr wchar_t kDeleted[] = L"File(s) deleted.";

std::vector<TIMGFileEntry> Remaining(const std::vector<TIMGFileEntry>& files,
                                     const std::vector<int>& indices) {
  std::vector<bool> removed(files.size());
  for (int index : indices) removed[static_cast<size_t>(index)] = true;
  std::vector<TIMGFileEntry> kept;
  kept.reserve(files.size() - indices.size());
  for (size_t i = 0; i < files.size(); ++i)
    if (!removed[i]) kept.push_back(files[i]);
  return kept;
}

// The whole old table's room as removing the entries one at a time, largest index first, each
// time writing the shortened table over the old one, leaves it: the remaining entries, then in
// every slot that fell free the last entry of the table written just before it fell free.
// `indices` are distinct and descending.
std::vector<TIMGFileEntry> TableRoomAfterRemoving(const std::vector<TIMGFileEntry>& files,
                                                  const std::vector<int>& indices) {
  std::vector<TIMGFileEntry> room = Remaining(files, indices);
  const size_t total = files.size();
  // The removed indices that end the table without a gap: n-1, n-2, and so on.
  size_t atEnd = 0;
  while (atEnd < indices.size() && static_cast<size_t>(indices[atEnd]) == total - 1 - atEnd)
    ++atEnd;
  for (size_t slot = room.size(); slot < total; ++slot) {
    // The table that last covered this slot had lost the `removals` largest indices; its last
    // entry is the largest index not among them, below those of them that end the table.
    const size_t removals = total - 1 - slot;
    room.push_back(files[total - 1 - std::min(removals, atEnd)]);
  }
  return room;
}

}  // namespace

void TfmMain::DeleteFiles() {
  if (p_.list.SelectedCount() == 0) return;
  if (p_.dialogs.MessageBox(MessageKind::Confirmation, text::kConfirmCaption, kAskDelete) !=
      MessageResult::Yes)
    return;
  Working(true);
  // Indices from the rows' texts, read before anything changes.
  std::vector<int> indices;
  for (int row : p_.list.SelectedRows()) indices.push_back(GetFileIndex(row));
  std::sort(indices.begin(), indices.end(), std::greater<>());
  for (int index : indices)
    if (index < 0 || index >= IMGArchive.FileCount) throw RangeError();

  // One directory write removes them all; the count still runs from the first entry to the
  // last, as the user has always seen it.
  const int m = static_cast<int>(indices.size());
  ProgressPace pace(p_.system, m);
  ShowProgress(pace, 1, kProgress, ProgressCount);
  // A directory file another program holds could not be replaced: say so before anything.
  if (!IMGArchive.bVersion2 && !p_.files.CanReplace(IMGArchive.DIRFile)) {
    ShowError(text::kDirInUse);
    UpdateDisplay();
    Working(false);
    return;
  }
  for (int n = 2; n <= m; ++n) ShowProgress(pace, n, kProgress, ProgressCount);
  const auto hold = HoldArchive(LockKind::Exclusive);
  if (!hold) return;
  if (IMGArchive.bVersion2)
    DoDeleteFilesV2(indices);
  else
    DoDeleteFiles(indices);
  UpdateDisplay();
  Status(kDeleted);
  Working(false);
}

void TfmMain::DoDeleteFiles(const std::vector<int>& indices) {
  std::vector<TIMGFileEntry> kept = Remaining(IMGArchive.Files, indices);
  // The old file stays whole until the new one, complete, takes its place.
  ReplaceDirectoryFile(p_.files, IMGArchive.IMGFile, IMGArchive.DIRFile, kept);
  IMGArchive.FileCount = static_cast<int32_t>(kept.size());
  IMGArchive.Files = std::move(kept);
}

// The new header and table go through a record beside the archive: a process dying while they
// are written leaves the record, from which the next opening writes them again, and a write
// that fails leaves it for the re-read that follows.
void TfmMain::DoDeleteFilesV2(const std::vector<int>& indices) {
  const std::vector<TIMGFileEntry> room = TableRoomAfterRemoving(IMGArchive.Files, indices);
  const int32_t count = IMGArchive.FileCount - static_cast<int32_t>(indices.size());
  unsigned char head[kHeaderSize];
  TIMGHeader header;
  header.FileCount = count;
  EncodeHeader(header, head);
  const std::vector<unsigned char> table = EncodeEntries(room);
  try {
    auto img = p_.files.Open(IMGArchive.IMGFile, FileMode::ReadWrite, FileKind::Own);
    SectorBuffer buffer;
    const AreaWrite directory{0, kHeaderSize + static_cast<int64_t>(table.size()),
                              [&](IFile& record) {
                                record.Write(head, sizeof head);
                                if (!table.empty()) record.Write(table.data(), table.size());
                              }};
    WriteThroughRecord(p_.files, IMGArchive.IMGFile, *img, RecordKind::DeleteV2, {directory},
                       buffer);
    img->Close();
  } catch (...) {
    RereadAfterFailure();
    throw;
  }
  IMGArchive.Files.assign(room.begin(), room.begin() + count);
  IMGArchive.FileCount = count;
}

}  // namespace vandrel
