#include "ops/directory_io.h"

namespace vandrel {

void WriteEntryAt(IFile& file, int64_t position, const TIMGFileEntry& entry) {
  unsigned char bytes[kEntrySize];
  EncodeEntry(entry, bytes);
  file.Seek(position);
  file.Write(bytes, sizeof bytes);
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
  img.Seek(0);
  img.Write(bytes, sizeof bytes);
}

}  // namespace vandrel
