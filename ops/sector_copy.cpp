#include "ops/sector_copy.h"

#include <algorithm>
#include <cstring>

#include "archive/img_format.h"
#include "platform/errors.h"

namespace vandrel {

SectorBuffer::SectorBuffer(int64_t sectors) : bytes_(static_cast<size_t>(sectors * kSectorSize)) {}

void SectorBuffer::CopySectors(IFile& source, int64_t from, IFile& target, int64_t to,
                               int64_t count) {
  const int64_t capacity = static_cast<int64_t>(bytes_.size()) / kSectorSize;
  for (int64_t done = 0; done < count;) {
    const size_t want = static_cast<size_t>(std::min(capacity, count - done) * kSectorSize);
    source.Seek(from + done * kSectorSize);
    const size_t got = source.ReadSome(bytes_.data(), want);
    // Only the whole sectors that arrived are written; a sector cut short never is.
    const int64_t whole = static_cast<int64_t>(got) / kSectorSize;
    if (whole > 0) {
      target.Seek(to + done * kSectorSize);
      target.Write(bytes_.data(), static_cast<size_t>(whole * kSectorSize));
    }
    if (got < want) throw InOutError(kErrReadBeyondEnd);
    done += whole;
  }
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

void SectorBuffer::WriteZeros(IFile& target, int64_t count) {
  while (count > 0) {
    const size_t part = static_cast<size_t>(std::min(static_cast<int64_t>(bytes_.size()), count));
    std::memset(bytes_.data(), 0, part);
    target.Write(bytes_.data(), part);
    count -= static_cast<int64_t>(part);
  }
}

}  // namespace vandrel
