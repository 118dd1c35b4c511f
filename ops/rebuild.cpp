// Rebuilding an archive: the entries' data copied back to back, in directory order, into a new
// file. The archive under its own name is at every moment complete, old or new, or (version 1)
// the old one is back after a single rename of the temporary file, which the next opening does
// when the process died; any failure puts the old archive back exactly as it was.
#include <algorithm>
#include <climits>
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
#include "ops/sector_copy.h"

namespace vandrel {
namespace {

constexpr wchar_t kAskRebuild[] =
    L"Rebuilding the archive will take a few minutes.\n\nDo you wish to continue?";
constexpr wchar_t kStartedV1[] = L"Перестройка  ";
constexpr wchar_t kStartedV2[] = L"Перестройка..";
constexpr wchar_t kProgress[] = L"Перестройка.. ";
constexpr wchar_t kInUseV1[] = L"IMG file error! It might be in use.. exiting...";
constexpr wchar_t kInUseV2[] = L"Ошибка открытия файла IMG!         ";
constexpr wchar_t kRebuiltV1[] = L"Archive rebuilt.";
constexpr wchar_t kRebuiltOldDataLeft[] =
    L"Archive rebuilt, but the file holding the old data could not be deleted: ";
constexpr wchar_t kTemporaryPrefix[] = L"TMPI";
// 8 MiB: parts of 2 to 128 MiB measured alike.
constexpr int64_t kWriteBehindSectors = 4096;

// The entries with their new offsets: back to back from `first`, an empty one taking the
// offset where the next data begins. A negative size counts as none.
std::vector<TIMGFileEntry> Packed(std::vector<TIMGFileEntry> entries, int64_t first) {
  int64_t next = first;
  for (auto& entry : entries) {
    if (next > INT32_MAX) throw RangeError();
    entry.Offset = static_cast<int32_t>(next);
    next += std::max(entry.Size, 0);
  }
  return entries;
}

// The version-2 head: header, directory, zero bytes to the first data sector.
std::vector<unsigned char> HeadV2(const std::vector<TIMGFileEntry>& entries) {
  std::vector<unsigned char> head(
      static_cast<size_t>(FirstDataSectorV2(static_cast<int64_t>(entries.size())) * kSectorSize));
  TIMGHeader header;
  header.FileCount = static_cast<int32_t>(entries.size());
  EncodeHeader(header, head.data());
  const std::vector<unsigned char> table = EncodeEntries(entries);
  std::copy(table.begin(), table.end(), head.begin() + kHeaderSize);
  return head;
}

// An .img shorter than a version-2 header cannot be opened again, so an archive whose
// entries hold no data keeps one zero sector instead of coming out empty.
std::vector<unsigned char> HeadV1(const std::vector<TIMGFileEntry>& entries) {
  const bool holdsData =
      std::any_of(entries.begin(), entries.end(), [](const auto& entry) { return entry.Size > 0; });
  return std::vector<unsigned char>(holdsData ? 0 : kSectorSize);
}

}  // namespace

void TfmMain::RebuildArchive() {
  if (p_.dialogs.MessageBox(MessageKind::Confirmation, text::kConfirmCaption, kAskRebuild) !=
      MessageResult::Yes)
    return;
  if (IMGArchive.bVersion2)
    DoRebuildArchiveV2();
  else
    DoRebuildArchive();
}

void TfmMain::WriteRebuilt(const std::wstring& from, const std::wstring& to,
                           const std::vector<unsigned char>& head,
                           const std::vector<TIMGFileEntry>& rebuilt, bool& created) {
  auto source = p_.files.Open(from, FileMode::ReadOnly);
  auto target = p_.files.Open(to, FileMode::CreateNew);
  created = true;
  if (!head.empty()) target->Write(head.data(), head.size());
  SectorBuffer buffer;
  const int count = static_cast<int>(rebuilt.size());
  ProgressPace pace(p_.system, count);
  // Each few MiB copied are handed to the disk at once, so that it writes while the copy goes on
  // instead of all of it at the flush; and the old bytes, read once, need not stay cached until
  // the old file is deleted, which then frees them all at once.
  const auto copyRun = [&](int64_t from, int64_t to, int64_t count) {
    for (int64_t done = 0; done < count;) {
      const int64_t part = std::min(count - done, kWriteBehindSectors);
      buffer.CopyLongRun(*source, from + done * kSectorSize, *target, to + done * kSectorSize,
                         part);
      target->StartWriting(to + done * kSectorSize, part * kSectorSize);
      source->ForgetCached(from + done * kSectorSize, part * kSectorSize);
      done += part;
    }
  };
  // Entries that lie back to back in the old file and stay so in the new one go as one run: a
  // call per entry cost more than the system's copying of its bytes.
  int64_t runFrom = 0, runTo = 0, sectors = 0;
  for (int i = 0; i < count; ++i) {
    ShowProgress(pace, i + 1, kProgress, ProgressWithPercent);
    const TIMGFileEntry& old = IMGArchive.Files[static_cast<size_t>(i)];
    const int64_t size = std::max(old.Size, 0);
    if (size == 0) continue;
    const int64_t oldStart = old.Offset * kSectorSize, newStart = rebuilt[i].Offset * kSectorSize;
    if (oldStart == runFrom + sectors * kSectorSize && newStart == runTo + sectors * kSectorSize) {
      sectors += size;
      continue;
    }
    if (sectors > 0) copyRun(runFrom, runTo, sectors);
    runFrom = oldStart, runTo = newStart, sectors = size;
  }
  if (sectors > 0) copyRun(runFrom, runTo, sectors);
  // On disk before it takes the old archive's place, so a power cut cannot leave it half there.
  target->Flush();
  target->Close();
  source->Close();
}

// Version 1 has two files, so no single step swaps both. A record beside the archive names the
// two temporary files first; the new directory is written aside; the old .img then takes the
// temporary name while the new one is written under the archive's name; the new directory goes
// in; only then is the old data deleted. While the new directory is still aside, the old pair is
// the old .dir with the temporary file, which the next opening puts back if the process dies.
void TfmMain::DoRebuildArchive() {
  Working(true);
  Status(kStartedV1);
  const std::wstring img = IMGArchive.IMGFile, dir = IMGArchive.DIRFile;
  const std::wstring temporary = TemporaryName(img, kTemporaryPrefix);
  if (p_.files.FileExists(temporary) || !p_.files.CanReplace(img)) {
    ShowError(kInUseV1);
    Working(false);
    return;
  }
  if (!p_.files.CanReplace(dir)) {
    ShowError(text::kDirInUse);
    Working(false);
    return;
  }
  const auto hold = HoldArchive(LockKind::Exclusive);
  if (!hold) return;
  const std::vector<TIMGFileEntry> rebuilt = Packed(IMGArchive.Files, 0);

  const std::wstring newDirectory = FreeDirectoryName(p_.files, dir);
  BeginRecord(p_.files, img, RecordKind::RebuildV1, {temporary, newDirectory});
  bool moved = false;
  try {
    WriteAside(p_.files, newDirectory, EncodeEntries(rebuilt));
    if (!p_.files.Rename(img, temporary)) throw InOutError(kErrAccessDenied);
    moved = true;
    bool created = false;
    WriteRebuilt(temporary, img, HeadV1(rebuilt), rebuilt, created);
    // The old .dir, still held, keeps others out until the new one takes its place.
    hold->Cover(img);
    p_.files.Replace(newDirectory, dir);
  } catch (...) {
    try {
      if (moved) p_.files.Replace(temporary, img);
      DeleteQuietly(p_.files, newDirectory);
      if (!p_.files.FileExists(newDirectory)) EndRecord(p_.files, img);
    } catch (...) {
      // The record stays, and the next opening puts the old archive back.
    }
    RereadAfterFailure();
    throw;
  }
  const bool oldDataLeft = !p_.files.Delete(temporary);
  EndRecord(p_.files, img);
  DoOpenArchive(img);
  Status(oldDataLeft ? kRebuiltOldDataLeft + Quoted(temporary) : kRebuiltV1);
  Working(false);
}

// Version 2 is one file: under a record naming the temporary file, the new archive is written
// whole under that name, flushed, and then replaces the old one in a single step.
void TfmMain::DoRebuildArchiveV2() {
  Working(true);
  Status(kStartedV2);
  const std::wstring img = IMGArchive.IMGFile;
  const std::wstring temporary = TemporaryName(img, kTemporaryPrefix);
  if (p_.files.FileExists(temporary) || !p_.files.CanReplace(img)) {
    ShowError(kInUseV2);
    Working(false);
    return;
  }
  const auto hold = HoldArchive(LockKind::Exclusive);
  if (!hold) return;
  const uint32_t start = p_.system.TickCount();
  const std::vector<TIMGFileEntry> rebuilt =
      Packed(IMGArchive.Files, FirstDataSectorV2(IMGArchive.FileCount));

  BeginRecord(p_.files, img, RecordKind::RebuildV2, {temporary});
  bool created = false;
  try {
    WriteRebuilt(img, temporary, HeadV2(rebuilt), rebuilt, created);
    hold->Cover(temporary);
    p_.files.Replace(temporary, img);
  } catch (...) {
    if (created) DeleteQuietly(p_.files, temporary);
    if (!p_.files.FileExists(temporary)) EndRecordQuietly(p_.files, img);
    RereadAfterFailure();
    throw;
  }
  EndRecord(p_.files, img);
  DoOpenArchive(img);
  const uint32_t seconds = (p_.system.TickCount() - start) / 1000;
  Status(L"Archive rebuilt in " + std::to_wstring(seconds) + L" secs.");
  Working(false);
}

}  // namespace vandrel
