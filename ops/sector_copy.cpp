#include "ops/sector_copy.h"

#include <algorithm>
#include <cstring>

#include "archive/img_format.h"
#include "platform/errors.h"

namespace vandrel {

SectorBuffer::SectorBuffer(int64_t sectors) : bytes_(static_cast<size_t>(sectors * kSectorSize)) {}

namespace {

// Whole sectors through `bytes`: `read(buffer, count, position)` returns how many bytes arrived,
// `write(buffer, count, position)` writes them all.
template <class Read, class Write>
void CopyThrough(std::vector<unsigned char>& bytes, int64_t from, int64_t to, int64_t count,
                 Read&& read, Write&& write) {
  const int64_t capacity = static_cast<int64_t>(bytes.size()) / kSectorSize;
  for (int64_t done = 0; done < count;) {
    const size_t want = static_cast<size_t>(std::min(capacity, count - done) * kSectorSize);
    const size_t got = read(bytes.data(), want, from + done * kSectorSize);
    // Only the whole sectors that arrived are written; a sector cut short never is.
    const int64_t whole = static_cast<int64_t>(got) / kSectorSize;
    if (whole > 0)
      write(bytes.data(), static_cast<size_t>(whole * kSectorSize), to + done * kSectorSize);
    if (got < want) throw InOutError(kErrReadBeyondEnd);
    done += whole;
  }
}

}  // namespace

void SectorBuffer::CopySectors(IFile& source, int64_t from, IFile& target, int64_t to,
                               int64_t count) {
  CopyThrough(
      bytes_, from, to, count,
      [&](void* buffer, size_t want, int64_t at) {
        source.Seek(at);
        return source.ReadSome(buffer, want);
      },
      [&](const void* buffer, size_t size, int64_t at) {
        target.Seek(at);
        target.Write(buffer, size);
      });
}

void SectorBuffer::CopyLongRun(IFile& source, int64_t from, IFile& target, int64_t to,
                               int64_t count) {
  int64_t done = 0;
  if (systemCopies_ && count > 0 && from >= 0) {
    // Never a sector the source holds only in part: that one is for the loop below to refuse.
    const int64_t held = std::clamp<int64_t>((source.Length() - from) / kSectorSize, 0, count);
    const int64_t copied = held > 0 ? target.CopyFrom(source, from, to, held * kSectorSize) : 0;
    if (copied < held * kSectorSize) systemCopies_ = false;
    done = copied / kSectorSize;
  }
  if (done == count) return;
  if (bytes_.size() < static_cast<size_t>(kWideCopySectors * kSectorSize))
    bytes_.resize(static_cast<size_t>(kWideCopySectors * kSectorSize));
  CopyThrough(
      bytes_, from + done * kSectorSize, to + done * kSectorSize, count - done,
      [&](void* buffer, size_t want, int64_t at) { return source.ReadSomeAt(buffer, want, at); },
      [&](const void* buffer, size_t size, int64_t at) { target.WriteAt(buffer, size, at); });
}

int64_t SectorBuffer::CopyAll(IFile& source, IFile& target, int64_t limit) {
  int64_t done = 0;
  while (done < limit) {
    const size_t want =
        static_cast<size_t>(std::min(static_cast<int64_t>(bytes_.size()), limit - done));
    const size_t got = source.ReadSome(bytes_.data(), want);
    if (got > 0) target.Write(bytes_.data(), got);
    done += static_cast<int64_t>(got);
    if (got < want) break;
  }
  return done;
}

int64_t SectorBuffer::CopyFileInSectors(IFile& source, IFile& target, int64_t to) {
  const size_t capacity = bytes_.size();
  int64_t done = 0;
  for (bool ended = false; !ended;) {
    const int64_t at = to + done;
    const size_t got = source.ReadSomeAt(bytes_.data(), capacity, done);
    ended = got < capacity;
    done += static_cast<int64_t>(got);
    // The zeros that complete the last sector go with the last bytes, in one write: the buffer
    // holds whole sectors.
    const size_t padding = ended ? (kSectorSize - got % kSectorSize) % kSectorSize : 0;
    std::memset(bytes_.data() + got, 0, padding);
    if (got + padding > 0) target.WriteAt(bytes_.data(), got + padding, at);
  }
  return done;
}

void SectorBuffer::WriteZeros(IFile& target, int64_t count) {
  while (count > 0) {
    const size_t part = static_cast<size_t>(std::min(static_cast<int64_t>(bytes_.size()), count));
    std::memset(bytes_.data(), 0, part);
    target.Write(bytes_.data(), part);
    count -= static_cast<int64_t>(part);
  }
}

}  // namespace vandrel
