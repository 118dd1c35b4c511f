#pragma once
// Appending entry data to an archive's data file. Data always starts on a sector boundary, so
// the offset recorded for it points at it even when the file's length is not whole sectors,
// and never inside a version-2 directory.
#include <cstdint>
#include <vector>

#include "archive/img_format.h"
#include "ops/sector_copy.h"
#include "platform/file.h"

namespace vandrel {

struct AppendedData {
  int32_t offset = 0;  // first sector
  int32_t size = 0;    // sectors
};

// The first sector boundary at or behind both the end of `img` and `reservedEnd` (the end of a
// version-2 directory, 0 otherwise), to which `img` is zero-filled; returns that sector.
int32_t StartAppend(IFile& img, int64_t reservedEnd, SectorBuffer& buffer);
// The same for an `img` known to be `length` bytes long; it is positioned only when it grows.
int32_t StartAppendAt(IFile& img, int64_t length, int64_t reservedEnd, SectorBuffer& buffer);

// Appends all of `source` from its start to `img`, known to be `length` bytes long, the last
// sector completed with zero bytes. A failure leaves `img` as long as it was.
AppendedData AppendFile(IFile& img, int64_t length, IFile& source, int64_t reservedEnd,
                        SectorBuffer& buffer);
// The length of `img` after `data` was appended to one `before` bytes long.
int64_t LengthAfter(const AppendedData& data, int64_t before);

// Byte where the data that lie first in the file begin; past any file when there are none. An
// added version-2 entry whose slot ends past it moves those data out of the directory's way.
int64_t FirstDataByte(const std::vector<TIMGFileEntry>& files);

}  // namespace vandrel
