#include "ops/append.h"

#include <algorithm>
#include <limits>

#include "archive/img_format.h"
#include "platform/errors.h"

namespace vandrel {
namespace {

int64_t SectorsHolding(int64_t bytes) { return (bytes + kSectorSize - 1) / kSectorSize; }

}  // namespace

int32_t StartAppend(IFile& img, int64_t reservedEnd, SectorBuffer& buffer) {
  return StartAppendAt(img, img.Length(), reservedEnd, buffer);
}

int32_t StartAppendAt(IFile& img, int64_t length, int64_t reservedEnd, SectorBuffer& buffer) {
  const int64_t sector = std::max(SectorsHolding(length), SectorsHolding(reservedEnd));
  const int64_t boundary = SectorsHolding(length) * kSectorSize;
  // The last sector first, then whole sectors: a failure leaves the file ending on a boundary.
  if (sector * kSectorSize > length) {
    img.Seek(length);
    buffer.WriteZeros(img, boundary - length);
    buffer.WriteZeros(img, sector * kSectorSize - boundary);
  }
  return static_cast<int32_t>(sector);
}

AppendedData AppendFile(IFile& img, int64_t length, IFile& source, int64_t reservedEnd,
                        SectorBuffer& buffer) {
  try {
    AppendedData data;
    data.offset = StartAppendAt(img, length, reservedEnd, buffer);
    const int64_t copied = buffer.CopyFileInSectors(source, img, data.offset * kSectorSize);
    data.size = static_cast<int32_t>(SectorsHolding(copied));
    return data;
  } catch (const InOutError&) {
    // No entry points at a copy cut short (a full disk, a source that cannot be read): it is
    // taken back off the end, so the disk is as it was. The first error is the one to show.
    try {
      img.SetLength(length);
    } catch (const InOutError&) {
    }
    throw;
  }
}

int64_t LengthAfter(const AppendedData& data, int64_t before) {
  return std::max(before, (int64_t{data.offset} + data.size) * kSectorSize);
}

int64_t FirstDataByte(const std::vector<TIMGFileEntry>& files) {
  int64_t lowest = std::numeric_limits<int64_t>::max();
  for (const auto& entry : files) lowest = std::min(lowest, int64_t{entry.Offset} * kSectorSize);
  return lowest;
}

}  // namespace vandrel
