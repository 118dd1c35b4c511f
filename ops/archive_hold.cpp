#include "ops/archive_hold.h"

#include <algorithm>

#include "app/main_window.h"
#include "platform/errors.h"

namespace vandrel {
namespace {

constexpr wchar_t kBeingChanged[] =
    L"Another program is changing this archive, so nothing was done. Try again when it has "
    L"finished";
constexpr wchar_t kChanged[] =
    L"Another program has changed this archive since it was read. It has been read again and "
    L"nothing was done; please try again.";

// Long enough for another program's add, delete or rename to finish; a rebuild may take longer.
constexpr uint32_t kPatienceMs = 2500;
constexpr uint32_t kRetryMs = 20;
constexpr size_t kRecordsPerRead = 2048;

}  // namespace

ArchiveHold::ArchiveHold(IFileSystem& files, ISystem& clock, LockKind kind, ArchiveHold*& current)
    : files_(files),
      clock_(clock),
      kind_(kind),
      current_(current ? nullptr : &current),
      start_(clock.TickCount()) {
  if (current_) current = this;
}

ArchiveHold::~ArchiveHold() {
  if (current_) *current_ = nullptr;
}

void ArchiveHold::Take(const std::wstring& path) {
  if (!current_) return;
  for (;;) {
    std::unique_ptr<IFileLock> lock;
    try {
      lock = files_.TryLock(path, kind_);
    } catch (const InOutError&) {
      return;
    }
    if (lock && lock->Names(path)) {
      locks_.push_back(std::move(lock));
      return;
    }
    // Held by another, or renamed away since it was opened: let go, and the name's file again.
    lock.reset();
    if (clock_.TickCount() - start_ >= kPatienceMs) throw AppError(kBeingChanged);
    clock_.Wait(kRetryMs);
  }
}

void ArchiveHold::Cover(const std::wstring& path) {
  // Nobody else knows the name yet, so the file is free; held also inside another hold, whose
  // locks are on the files this one replaces.
  if (auto lock = files_.TryLock(path, LockKind::Exclusive)) locks_.push_back(std::move(lock));
}

void ArchiveHold::TakeArchive(const std::wstring& img, const std::wstring& dir) {
  if (!dir.empty() && files_.FileExists(dir)) Take(dir);
  Take(img);
}

bool DirectoryUnchanged(IFileSystem& files, const TIMGArchive& archive) {
  auto file = files.Open(archive.bVersion2 ? archive.IMGFile : archive.DIRFile, FileMode::ReadOnly);
  const int64_t length = file->Length();
  const int64_t table = int64_t{archive.FileCount} * kEntrySize;
  bool same;
  if (archive.bVersion2) {
    same = length >= kHeaderSize + table;
    if (same) {
      unsigned char head[kHeaderSize];
      file->Read(head, sizeof head);
      const TIMGHeader header = DecodeHeader(head);
      same = IsVersion2(header) && header.FileCount == archive.FileCount;
    }
  } else {
    same = length / kEntrySize == archive.FileCount;
  }
  std::vector<unsigned char> read, expected;
  for (size_t first = 0; same && first < archive.Files.size(); first += kRecordsPerRead) {
    const size_t count = std::min(kRecordsPerRead, archive.Files.size() - first);
    read.resize(count * kEntrySize);
    expected.resize(count * kEntrySize);
    file->Read(read.data(), read.size());
    for (size_t i = 0; i < count; ++i)
      EncodeEntry(archive.Files[first + i], &expected[i * kEntrySize]);
    same = read == expected;
  }
  file->Close();
  return same;
}

std::unique_ptr<ArchiveHold> TfmMain::HoldArchive(LockKind kind) {
  // Held already, nobody else can have changed it: reading the directory again for each of a
  // batch's commands would cost the whole directory per command.
  const bool heldAlready = hold_ != nullptr;
  auto hold = std::make_unique<ArchiveHold>(p_.files, p_.system, kind, hold_);
  hold->TakeArchive(IMGArchive.IMGFile, IMGArchive.DIRFile);
  if (heldAlready || DirectoryUnchanged(p_.files, IMGArchive)) return hold;
  // A copy: reopening clears the record that holds the path.
  const std::wstring path = IMGArchive.IMGFile;
  DoOpenArchive(path);
  // Never held while a box waits for the user.
  hold.reset();
  ShowError(kChanged);
  return nullptr;
}

void TfmMain::HoldArchiveWhile(const std::function<void()>& commands) {
  const auto hold = HoldArchive(LockKind::Exclusive);
  if (hold) commands();
}

}  // namespace vandrel
