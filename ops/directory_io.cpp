#include "ops/directory_io.h"

namespace vandrel {

void WriteEntryAt(IFile& file, int64_t position, const TIMGFileEntry& entry) {
  unsigned char bytes[kEntrySize];
  EncodeEntry(entry, bytes);
  file.WriteAt(bytes, sizeof bytes, position);
}

std::vector<unsigned char> EncodeEntries(const std::vector<TIMGFileEntry>& entries) {
  std::vector<unsigned char> bytes(entries.size() * kEntrySize);
  for (size_t i = 0; i < entries.size(); ++i) EncodeEntry(entries[i], &bytes[i * kEntrySize]);
  return bytes;
}

void WriteHeaderV2(IFile& img, int32_t fileCount) {
  TIMGHeader header;
  header.FileCount = fileCount;
  unsigned char bytes[kHeaderSize];
  EncodeHeader(header, bytes);
  img.WriteAt(bytes, sizeof bytes, 0);
}

}  // namespace vandrel
