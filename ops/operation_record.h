#pragma once
// A change that a dying process could leave half done first writes a record of itself beside
// the archive, under the .img's name with ".pending" added, flushes it, and deletes it only
// once the change is complete; opening the archive finds it (archive/interrupted.h). A record
// ends in a checksum and a mark, so one cut short is told from a complete one: a change never
// begins before its record is complete.
//
// Two kinds:
// - a write-ahead copy of bytes that go over the data file in place (replaces in place, a
//   version-2 delete's directory): written again from the record, as often as it takes.
// - the temporary files of a change that writes files aside and swaps them in (a rebuild, a
//   version-1 delete): which of them are still there tells how far it went.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ops/sector_copy.h"
#include "platform/file.h"

namespace vandrel {

enum class RecordKind : uint32_t {
  Replace = 1,      // write-ahead bytes
  DeleteV2 = 2,     // write-ahead bytes
  RebuildV1 = 3,    // the old .img's temporary name, then the new directory's
  RebuildV2 = 4,    // the new archive's temporary name
  DirectoryV1 = 5,  // the new directory's temporary name
  Replaces = 6,     // write-ahead bytes of several areas
};

inline bool IsWriteAhead(RecordKind kind) {
  return kind == RecordKind::Replace || kind == RecordKind::DeleteV2 ||
         kind == RecordKind::Replaces;
}

std::wstring RecordPath(const std::wstring& img);

// One area of a write-ahead record: `dataLength` bytes from byte `dataStart` of the record go to
// byte `position` of the data file, then zero bytes to `area` bytes in all.
struct WriteAheadPiece {
  int64_t position = 0, area = 0, dataStart = 0, dataLength = 0;
};

// A complete record as read back.
struct OperationRecord {
  RecordKind kind{};
  std::vector<std::wstring> temporaries;  // full paths, in the archive's folder
  std::vector<WriteAheadPiece> pieces;    // write-ahead only, in the order they are written
};

// What goes over one area of the data file: `area` bytes from `position`, those `writeData`
// writes to the file it is given (at most `area`), then zero bytes.
struct AreaWrite {
  int64_t position = 0, area = 0;
  std::function<void(IFile& record)> writeData;
};

// The record beside `img`, or nothing when the one there was cut short (the change it was
// written for never began).
std::optional<OperationRecord> ReadRecord(IFileSystem& files, const std::wstring& img);

// Writes every piece of `record` (open for reading) over `data`, and flushes it once.
void ApplyWriteAhead(IFile& record, const OperationRecord& parsed, IFile& data,
                     SectorBuffer& buffer);

// Writes the record of a change that will use these temporary files (full paths), flushed.
// When that fails no record is left.
void BeginRecord(IFileSystem& files, const std::wstring& img, RecordKind kind,
                 const std::vector<std::wstring>& temporaries);

// Writes `areas` over `data` (the archive's .img, open for writing), in their order. The bytes
// go to one record first, flushed once, so a source that cannot be read is found out before
// `data` is touched, and a process dying while `data` is written leaves the record to finish
// every area; `data` too is flushed once, however many areas there are. When writing `data`
// fails, the record stays for the reopening to finish the change. `kind` is Replaces, or for
// one area DeleteV2.
void WriteThroughRecord(IFileSystem& files, const std::wstring& img, IFile& data, RecordKind kind,
                        const std::vector<AreaWrite>& areas, SectorBuffer& buffer);

// Removes the record of a change that is complete or undone. A complete write-ahead record left
// in place would be written again over later changes, so one that cannot be deleted is emptied,
// and when even that fails, the failure is raised.
void EndRecord(IFileSystem& files, const std::wstring& img);
// The same on the way out of a failure, which it must not hide.
void EndRecordQuietly(IFileSystem& files, const std::wstring& img);

}  // namespace vandrel
