#pragma once
// GTA IMG archives: named entries whose data lies in 2048-byte sectors. All integers are
// signed 32-bit little-endian.
//
//   Directory entry (32 bytes)        Version-2 header (8 bytes)
//   +0  Offset  first data sector     +0  "VER2"
//   +4  Size    length in sectors     +4  FileCount
//   +8  Name    24 bytes, zero-ended
//               unless all 24 are used
//
//   Version 1: name.img holds only data (sector 0 = byte 0); name.dir is a bare run of entries
//              (length div 32 of them).
//   Version 2: one file: header, FileCount entries at byte 8 + 32 * i, free directory room,
//              then the data. Offsets count sectors from the start of this same file.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vandrel {

inline constexpr int64_t kSectorSize = 2048;
inline constexpr int64_t kEntrySize = 32;
inline constexpr int64_t kHeaderSize = 8;
inline constexpr size_t kNameSize = 24;
inline constexpr std::string_view kSignatureV2 = "VER2";

struct TIMGFileEntry {
  int32_t Offset = 0;
  int32_t Size = 0;
  std::array<char, kNameSize> Name{};
};

struct TIMGHeader {
  std::array<char, 4> Signature{'V', 'E', 'R', '2'};
  int32_t FileCount = 0;
};

int32_t ReadInt32(const unsigned char* bytes);
void WriteInt32(int32_t value, unsigned char* bytes);

TIMGFileEntry DecodeEntry(const unsigned char* bytes);
void EncodeEntry(const TIMGFileEntry& entry, unsigned char* bytes);
TIMGHeader DecodeHeader(const unsigned char* bytes);
void EncodeHeader(const TIMGHeader& header, unsigned char* bytes);
bool IsVersion2(const TIMGHeader& header);

// The name bytes up to the first zero, at most 24.
std::string NameBytes(const TIMGFileEntry& entry);
// The name as text, through the ANSI code page.
std::wstring NameText(const TIMGFileEntry& entry);
void AppendNameText(std::wstring& text, const TIMGFileEntry& entry);
// Clears the field, then copies in at most 24 bytes.
void SetNameBytes(TIMGFileEntry& entry, std::string_view bytes);

// The first data sector of a rebuilt version-2 archive: the whole sectors that hold the header
// and `fileCount` records, and one more, so the directory can always grow by 64 entries.
inline int64_t FirstDataSectorV2(int64_t fileCount) {
  return (kHeaderSize + kEntrySize * fileCount) / kSectorSize + 2;
}

// The .dir beside an .img: the extension replaced by ".dir", or ".dir" appended.
std::wstring DirPathFor(const std::wstring& imgPath);

}  // namespace vandrel
