#include "ops/operation_record.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "ops/file_swap.h"
#include "platform/errors.h"
#include "platform/paths.h"
#include "platform/utf8.h"

namespace vandrel {
namespace {

//   "VPND"  kind (u32)  name count (u32)  names: byte count (u32), UTF-8 bytes
//   Replace, DeleteV2: position (i64)  area (i64)  then the data, at most `area` bytes
//   Replaces: each piece's bytes back to back, at most its area's, then per piece position
//     (i64), area (i64), byte count (i64), then the piece count (u32): the table follows the
//     bytes, whose counts are known only once they are written
//   trailer: FNV-1a 64 of everything before it (u64), "DONE"
constexpr char kMagic[4] = {'V', 'P', 'N', 'D'};
constexpr char kDone[4] = {'D', 'O', 'N', 'E'};
constexpr int64_t kTrailerSize = 12;
constexpr uint64_t kSumBasis = 14695981039346656037ull;
constexpr uint64_t kSumPrime = 1099511628211ull;
constexpr size_t kLongestName = 255;
constexpr size_t kChunk = 64 * 1024;

uint64_t Sum(uint64_t sum, const unsigned char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) sum = (sum ^ bytes[i]) * kSumPrime;
  return sum;
}

void Put(std::vector<unsigned char>& bytes, uint64_t value, int size) {
  for (int i = 0; i < size; ++i) bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

uint64_t Get(const unsigned char* bytes, int size) {
  uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

std::vector<unsigned char> Head(RecordKind kind, const std::vector<std::wstring>& temporaries,
                                int64_t position, int64_t area) {
  std::vector<unsigned char> head(kMagic, kMagic + 4);
  Put(head, static_cast<uint32_t>(kind), 4);
  Put(head, temporaries.size(), 4);
  for (const auto& path : temporaries) {
    const std::string name = ToUtf8(paths::FileName(path));
    Put(head, name.size(), 4);
    head.insert(head.end(), name.begin(), name.end());
  }
  if (kind == RecordKind::Replace || kind == RecordKind::DeleteV2) {
    Put(head, static_cast<uint64_t>(position), 8);
    Put(head, static_cast<uint64_t>(area), 8);
  }
  return head;
}

std::vector<unsigned char> PieceTable(const std::vector<WriteAheadPiece>& pieces) {
  std::vector<unsigned char> table;
  for (const WriteAheadPiece& piece : pieces) {
    Put(table, static_cast<uint64_t>(piece.position), 8);
    Put(table, static_cast<uint64_t>(piece.area), 8);
    Put(table, static_cast<uint64_t>(piece.dataLength), 8);
  }
  Put(table, pieces.size(), 4);
  return table;
}

// The record's file as the change writes it: every byte counted into the checksum.
class SummedFile final : public IFile {
 public:
  explicit SummedFile(IFile& file) : file_(file) {}
  void Seek(int64_t position) override { file_.Seek(position); }
  int64_t Position() override { return file_.Position(); }
  int64_t Length() override { return file_.Length(); }
  size_t ReadSome(void* buffer, size_t count) override { return file_.ReadSome(buffer, count); }
  void Write(const void* buffer, size_t count) override {
    file_.Write(buffer, count);
    sum_ = Sum(sum_, static_cast<const unsigned char*>(buffer), count);
    written_ += static_cast<int64_t>(count);
  }
  void Flush() override { file_.Flush(); }
  void SetLength(int64_t length) override { file_.SetLength(length); }
  void Close() override { file_.Close(); }

  int64_t written() const { return written_; }
  // Ends the record: from here on it counts as complete.
  void Finish() {
    std::vector<unsigned char> trailer;
    Put(trailer, sum_, 8);
    trailer.insert(trailer.end(), kDone, kDone + 4);
    file_.Write(trailer.data(), trailer.size());
    file_.Flush();
  }

 private:
  IFile& file_;
  uint64_t sum_ = kSumBasis;
  int64_t written_ = 0;
};

// Reads the record's fields in order, never past its data.
class FieldReader {
 public:
  FieldReader(IFile& file, int64_t end) : file_(file), end_(end) {}
  bool Fits(int64_t count) const { return count >= 0 && count <= end_ - at_; }
  uint64_t Number(int size) {
    unsigned char bytes[8];
    Take(bytes, size);
    return Get(bytes, size);
  }
  void Take(void* bytes, int64_t count) {
    file_.Read(bytes, static_cast<size_t>(count));
    at_ += count;
  }
  void SeekTo(int64_t at) {
    file_.Seek(at);
    at_ = at;
  }
  int64_t at() const { return at_; }

 private:
  IFile& file_;
  int64_t end_, at_ = 0;
};

// A leaf name only: a record must never send a deletion or a rename out of the folder.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." &&
         name.find_first_of("/\\:") == std::string::npos;
}

bool IsKind(uint64_t kind) { return kind >= 1 && kind <= 6; }

size_t NamesOf(RecordKind kind) {
  return kind == RecordKind::RebuildV1 ? 2 : IsWriteAhead(kind) ? 0 : 1;
}

// An area that lies in the data file's range and holds the piece's bytes.
bool Sane(const WriteAheadPiece& piece) {
  return piece.position >= 0 && piece.area >= piece.dataLength &&
         piece.area <= std::numeric_limits<int64_t>::max() - piece.position;
}

// The table behind the bytes of a record of several pieces, which lie back to back from where
// the fields have got to and fill the rest exactly.
bool ParsePieces(FieldReader& fields, int64_t end, std::vector<WriteAheadPiece>& pieces) {
  const int64_t dataStart = fields.at();
  if (!fields.Fits(4)) return false;
  fields.SeekTo(end - 4);
  const int64_t count = static_cast<int64_t>(fields.Number(4));
  const int64_t tableStart = end - 4 - count * 24;
  if (count == 0 || tableStart < dataStart) return false;
  fields.SeekTo(tableStart);
  int64_t at = dataStart;
  for (int64_t i = 0; i < count; ++i) {
    WriteAheadPiece piece;
    piece.position = static_cast<int64_t>(fields.Number(8));
    piece.area = static_cast<int64_t>(fields.Number(8));
    piece.dataLength = static_cast<int64_t>(fields.Number(8));
    piece.dataStart = at;
    if (piece.dataLength < 0 || piece.dataLength > tableStart - at || !Sane(piece)) return false;
    at += piece.dataLength;
    pieces.push_back(piece);
  }
  return at == tableStart;
}

std::optional<OperationRecord> Parse(IFile& file, int64_t end, const std::wstring& img) {
  FieldReader fields(file, end);
  char magic[4];
  if (!fields.Fits(12)) return std::nullopt;
  fields.Take(magic, 4);
  const uint64_t kind = fields.Number(4), count = fields.Number(4);
  if (std::memcmp(magic, kMagic, 4) != 0 || !IsKind(kind)) return std::nullopt;
  OperationRecord record;
  record.kind = static_cast<RecordKind>(kind);
  if (count != NamesOf(record.kind)) return std::nullopt;
  for (uint64_t i = 0; i < count; ++i) {
    if (!fields.Fits(4)) return std::nullopt;
    const uint64_t size = fields.Number(4);
    if (size > kLongestName || !fields.Fits(static_cast<int64_t>(size))) return std::nullopt;
    std::string name(size, '\0');
    fields.Take(name.data(), static_cast<int64_t>(size));
    if (!IsPlainName(name)) return std::nullopt;
    record.temporaries.push_back(paths::Folder(img) + FromUtf8(name));
  }
  if (record.kind == RecordKind::Replaces) {
    if (!ParsePieces(fields, end, record.pieces)) return std::nullopt;
  } else if (IsWriteAhead(record.kind)) {
    if (!fields.Fits(16)) return std::nullopt;
    WriteAheadPiece piece;
    piece.position = static_cast<int64_t>(fields.Number(8));
    piece.area = static_cast<int64_t>(fields.Number(8));
    piece.dataStart = fields.at();
    piece.dataLength = end - fields.at();
    if (!Sane(piece)) return std::nullopt;
    record.pieces.push_back(piece);
  } else if (fields.at() != end) {
    return std::nullopt;
  }
  return record;
}

// Whether the record's trailer is there and its checksum matches what precedes it.
bool IsComplete(IFile& file, int64_t length) {
  if (length < kTrailerSize) return false;
  const int64_t end = length - kTrailerSize;
  std::vector<unsigned char> chunk(kChunk);
  uint64_t sum = kSumBasis;
  file.Seek(0);
  for (int64_t at = 0; at < end;) {
    const size_t count = static_cast<size_t>(std::min<int64_t>(kChunk, end - at));
    file.Read(chunk.data(), count);
    sum = Sum(sum, chunk.data(), count);
    at += static_cast<int64_t>(count);
  }
  unsigned char trailer[kTrailerSize];
  file.Read(trailer, sizeof trailer);
  return Get(trailer, 8) == sum && std::memcmp(trailer + 8, kDone, 4) == 0;
}

}  // namespace

std::wstring RecordPath(const std::wstring& img) { return img + L".pending"; }

std::optional<OperationRecord> ReadRecord(IFileSystem& files, const std::wstring& img) {
  auto file = files.Open(RecordPath(img), FileMode::ReadOnly);
  const int64_t length = file->Length();
  std::optional<OperationRecord> record;
  if (IsComplete(*file, length)) {
    file->Seek(0);
    record = Parse(*file, length - kTrailerSize, img);
  }
  file->Close();
  return record;
}

void ApplyWriteAhead(IFile& record, const OperationRecord& parsed, IFile& data,
                     SectorBuffer& buffer) {
  for (const WriteAheadPiece& piece : parsed.pieces) {
    record.Seek(piece.dataStart);
    data.Seek(piece.position);
    if (buffer.CopyAll(record, data, piece.dataLength) != piece.dataLength)
      throw InOutError(kErrReadBeyondEnd);
    buffer.WriteZeros(data, piece.area - piece.dataLength);
  }
  data.Flush();
}

void BeginRecord(IFileSystem& files, const std::wstring& img, RecordKind kind,
                 const std::vector<std::wstring>& temporaries) {
  const std::wstring path = RecordPath(img);
  auto file = files.Open(path, FileMode::CreateNew);
  try {
    SummedFile summed(*file);
    const std::vector<unsigned char> head = Head(kind, temporaries, 0, 0);
    summed.Write(head.data(), head.size());
    summed.Finish();
    file->Close();
  } catch (...) {
    file.reset();
    DeleteQuietly(files, path);
    throw;
  }
}

void WriteThroughRecord(IFileSystem& files, const std::wstring& img, IFile& data, RecordKind kind,
                        const std::vector<AreaWrite>& areas, SectorBuffer& buffer) {
  const std::wstring path = RecordPath(img);
  auto file = files.Open(path, FileMode::CreateNew);
  OperationRecord record{kind, {}, {}};
  try {
    SummedFile summed(*file);
    const bool one = kind != RecordKind::Replaces;
    const std::vector<unsigned char> head =
        Head(kind, {}, one ? areas.front().position : 0, one ? areas.front().area : 0);
    summed.Write(head.data(), head.size());
    for (const AreaWrite& area : areas) {
      const int64_t start = summed.written();
      area.writeData(summed);
      record.pieces.push_back({area.position, area.area, start, summed.written() - start});
    }
    if (!one) {
      const std::vector<unsigned char> table = PieceTable(record.pieces);
      summed.Write(table.data(), table.size());
    }
    summed.Finish();
  } catch (...) {
    file.reset();
    DeleteQuietly(files, path);
    throw;
  }
  ApplyWriteAhead(*file, record, data, buffer);
  file->Close();
  EndRecord(files, img);
}

void EndRecord(IFileSystem& files, const std::wstring& img) {
  const std::wstring path = RecordPath(img);
  if (files.Delete(path)) return;
  files.Open(path, FileMode::Create)->Close();
  // Emptied it is harmless; gone is tidier.
  files.Delete(path);
}

void EndRecordQuietly(IFileSystem& files, const std::wstring& img) {
  try {
    EndRecord(files, img);
  } catch (...) {
  }
}

}  // namespace vandrel
