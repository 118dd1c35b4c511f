#pragma once
// Writing directory records and the version-2 header in place.
#include <cstdint>
#include <vector>

#include "archive/img_format.h"
#include "platform/file.h"

namespace vandrel {

// Byte where entry `index` of a version-2 directory lies.
inline int64_t SlotPositionV2(int64_t index) { return kHeaderSize + index * kEntrySize; }

void WriteEntryAt(IFile& file, int64_t position, const TIMGFileEntry& entry);
// The records one after the other, as a directory holds them.
std::vector<unsigned char> EncodeEntries(const std::vector<TIMGFileEntry>& entries);
void WriteHeaderV2(IFile& img, int32_t fileCount);

}  // namespace vandrel
