#include "archive/img_format.h"

#include <algorithm>
#include <cstring>

#include "platform/codepage.h"

namespace vandrel {

int32_t ReadInt32(const unsigned char* bytes) {
  uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                   uint32_t(bytes[3]) << 24;
  return static_cast<int32_t>(value);
}

void WriteInt32(int32_t value, unsigned char* bytes) {
  uint32_t bits = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
}

TIMGFileEntry DecodeEntry(const unsigned char* bytes) {
  TIMGFileEntry entry;
  entry.Offset = ReadInt32(bytes);
  entry.Size = ReadInt32(bytes + 4);
  std::memcpy(entry.Name.data(), bytes + 8, kNameSize);
  return entry;
}

void EncodeEntry(const TIMGFileEntry& entry, unsigned char* bytes) {
  WriteInt32(entry.Offset, bytes);
  WriteInt32(entry.Size, bytes + 4);
  std::memcpy(bytes + 8, entry.Name.data(), kNameSize);
}

TIMGHeader DecodeHeader(const unsigned char* bytes) {
  TIMGHeader header;
  std::memcpy(header.Signature.data(), bytes, 4);
  header.FileCount = ReadInt32(bytes + 4);
  return header;
}

void EncodeHeader(const TIMGHeader& header, unsigned char* bytes) {
  std::memcpy(bytes, header.Signature.data(), 4);
  WriteInt32(header.FileCount, bytes + 4);
}

bool IsVersion2(const TIMGHeader& header) {
  return std::string_view(header.Signature.data(), 4) == kSignatureV2;
}

namespace {

std::string_view NameView(const TIMGFileEntry& entry) {
  auto end = std::find(entry.Name.begin(), entry.Name.end(), '\0');
  return std::string_view(entry.Name.data(), static_cast<size_t>(end - entry.Name.begin()));
}

}  // namespace

std::string NameBytes(const TIMGFileEntry& entry) { return std::string(NameView(entry)); }

std::wstring NameText(const TIMGFileEntry& entry) {
  std::wstring text;
  AppendNameText(text, entry);
  return text;
}

void AppendNameText(std::wstring& text, const TIMGFileEntry& entry) {
  codepage::AppendText(text, NameView(entry));
}

void SetNameBytes(TIMGFileEntry& entry, std::string_view bytes) {
  entry.Name.fill('\0');
  std::copy_n(bytes.begin(), std::min(bytes.size(), kNameSize), entry.Name.begin());
}

std::wstring DirPathFor(const std::wstring& imgPath) {
  size_t separator = imgPath.find_last_of(L"\\/:");
  size_t dot = imgPath.find_last_of(L'.');
  bool hasExtension =
      dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator);
  return (hasExtension ? imgPath.substr(0, dot) : imgPath) + L".dir";
}

}  // namespace vandrel
