#pragma once
// Archives for the end-to-end cases, the demo and the benchmark, written byte by byte from
// the layouts themselves (not through the program's own code):
//   version 1: name.dir = entries of 32 bytes {offset, size: int32 LE sectors; name[24]},
//              name.img = the data, sector n at byte n * 2048;
//   version 2: name.img = "VER2", int32 count, the entries, then the data.
#include <cstdint>
#include <string>
#include <vector>

namespace vandrel::e2e {

inline constexpr int kSector = 2048;

struct ArchiveEntry {
  std::string name;  // bytes of the name field, at most 24
  int32_t offset = 0;
  int32_t size = 0;
};

// `count` entries named like "model0007.dff", of 1 to 3 sectors each, laid back to back from
// `firstSector` on.
std::vector<ArchiveEntry> NumberedEntries(int count, int32_t firstSector);
// The first sector after the header and a directory of `count` entries in a version-2 file.
int32_t DirectoryEndSectorV2(int count);

// With `withData` false only the directory is written: enough for listing, not for extracting.
void WriteV2(const std::wstring& path, const std::vector<ArchiveEntry>& entries,
             bool withData = true);
// `imgPath` ends in ".img"; the directory goes beside it with ".dir".
void WriteV1(const std::wstring& imgPath, const std::vector<ArchiveEntry>& entries);
void WriteBytes(const std::wstring& path, const std::string& bytes);
std::string ReadBytes(const std::wstring& path);

// The text the program's list holds for an entry.
std::wstring ExpectedRow(int index, const ArchiveEntry& entry);

}  // namespace vandrel::e2e
