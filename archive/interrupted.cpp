#include "archive/interrupted.h"

#include <vector>

#include "ops/operation_record.h"
#include "platform/errors.h"

namespace vandrel {
namespace {

constexpr wchar_t kReplaceCut[] = L"A replace in this archive was cut short.";
constexpr wchar_t kDeleteCut[] = L"A delete in this archive was cut short.";
constexpr wchar_t kRebuildCut[] = L"A rebuild of this archive was cut short.";
constexpr wchar_t kChangeCut[] = L"A change to this archive was cut short.";
constexpr wchar_t kFinished[] = L" It has now been finished.";
constexpr wchar_t kPutBack[] = L" The archive is as it was before.";
constexpr wchar_t kComplete[] = L" The archive under its name is complete.";
constexpr wchar_t kRemoved[] = L" Removed the file it left: ";
constexpr wchar_t kNotRemoved[] = L" Could not remove the file it left, delete it by hand: ";
constexpr wchar_t kFailed[] = L" Putting the archive right failed: ";
constexpr wchar_t kAgain[] = L". It is tried again when the archive is next opened";

enum class Outcome { Finished, PutBack, Complete };

const wchar_t* CutShort(RecordKind kind) {
  switch (kind) {
    case RecordKind::Replace:
    case RecordKind::Replaces:
      return kReplaceCut;
    case RecordKind::DeleteV2:
    case RecordKind::DirectoryV1:
      return kDeleteCut;
    case RecordKind::RebuildV1:
    case RecordKind::RebuildV2:
      break;
  }
  return kRebuildCut;
}

const wchar_t* Told(Outcome outcome) {
  return outcome == Outcome::Finished  ? kFinished
         : outcome == Outcome::PutBack ? kPutBack
                                       : kComplete;
}

// Takes the archive to its old state or its new one, whichever the record and the files still
// there allow; done again after dying here, it comes to the same.
Outcome PutRight(IFileSystem& files, const std::wstring& img, const OperationRecord& record) {
  switch (record.kind) {
    case RecordKind::Replace:
    case RecordKind::Replaces:
    case RecordKind::DeleteV2: {
      auto data = files.Open(img, FileMode::ReadWrite);
      auto from = files.Open(RecordPath(img), FileMode::ReadOnly);
      SectorBuffer buffer;
      ApplyWriteAhead(*from, record, *data, buffer);
      from->Close();
      data->Close();
      return Outcome::Finished;
    }
    case RecordKind::RebuildV1: {
      // The new directory still aside: the old .dir belongs with the old data.
      const std::wstring& oldData = record.temporaries[0];
      if (files.FileExists(record.temporaries[1])) {
        if (files.FileExists(oldData)) files.Replace(oldData, img);
        return Outcome::PutBack;
      }
      return files.FileExists(oldData) ? Outcome::Finished : Outcome::Complete;
    }
    case RecordKind::RebuildV2:
    case RecordKind::DirectoryV1:
      // The new file never took the old one's place.
      return files.FileExists(record.temporaries[0]) ? Outcome::PutBack : Outcome::Complete;
  }
  return Outcome::Complete;
}

std::wstring Listed(const std::vector<std::wstring>& paths) {
  std::wstring text;
  for (const auto& path : paths) text += (text.empty() ? L"" : L", ") + Quoted(path);
  return text + L".";
}

}  // namespace

bool HasInterrupted(IFileSystem& files, const std::wstring& img) {
  return files.FileExists(RecordPath(img));
}

std::optional<std::wstring> RecoverInterrupted(IFileSystem& files, const std::wstring& img) {
  if (!HasInterrupted(files, img)) return std::nullopt;
  std::optional<OperationRecord> record;
  Outcome outcome{};
  std::vector<std::wstring> removed, left;
  try {
    record = ReadRecord(files, img);
    if (!record) {
      // Cut short while the record was written: the change itself never began.
      EndRecordQuietly(files, img);
      return std::nullopt;
    }
    outcome = PutRight(files, img, *record);
    for (const auto& temporary : record->temporaries)
      if (files.FileExists(temporary))
        (files.Delete(temporary) ? removed : left).push_back(temporary);
    EndRecord(files, img);
  } catch (const AppError& error) {
    throw AppError(std::wstring(record ? CutShort(record->kind) : kChangeCut) + kFailed +
                   error.Message() + kAgain);
  }
  std::wstring told = CutShort(record->kind) + std::wstring(Told(outcome));
  if (!removed.empty()) told += kRemoved + Listed(removed);
  if (!left.empty()) told += kNotRemoved + Listed(left);
  return told;
}

}  // namespace vandrel
