#include "tests/e2e/test_archives.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vandrel::e2e {
namespace {

void PutInt(std::string& out, int32_t value) {
  auto bits = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((bits >> shift) & 0xFF);
}

std::string Directory(const std::vector<ArchiveEntry>& entries) {
  std::string out;
  for (const auto& entry : entries) {
    PutInt(out, entry.offset);
    PutInt(out, entry.size);
    std::string name = entry.name.substr(0, 24);
    name.resize(24, '\0');
    out += name;
  }
  return out;
}

// Sector s of entry i holds the byte (i + s) throughout, so any misplaced sector shows.
void PlaceData(std::string& image, const std::vector<ArchiveEntry>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    for (int32_t s = 0; s < entries[i].size; ++s) {
      size_t at = (static_cast<size_t>(entries[i].offset) + static_cast<size_t>(s)) * kSector;
      if (image.size() < at + kSector) image.resize(at + kSector, '\0');
      image.replace(at, kSector, kSector, static_cast<char>((i + static_cast<size_t>(s)) & 0xFF));
    }
  }
}

}  // namespace

std::vector<ArchiveEntry> NumberedEntries(int count, int32_t firstSector) {
  std::vector<ArchiveEntry> entries;
  entries.reserve(static_cast<size_t>(count));
  int32_t sector = firstSector;
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "model%04d.%s", i, i % 2 ? "txd" : "dff");
    int32_t size = 1 + i % 3;
    entries.push_back({name, sector, size});
    sector += size;
  }
  return entries;
}

int32_t DirectoryEndSectorV2(int count) { return (8 + 32 * count + kSector - 1) / kSector; }

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteV2(const std::wstring& path, const std::vector<ArchiveEntry>& entries, bool withData) {
  std::string image = "VER2";
  PutInt(image, static_cast<int32_t>(entries.size()));
  image += Directory(entries);
  if (withData) PlaceData(image, entries);
  WriteBytes(path, image);
}

void WriteV1(const std::wstring& imgPath, const std::vector<ArchiveEntry>& entries) {
  std::string image;
  PlaceData(image, entries);
  WriteBytes(imgPath, image);
  WriteBytes(imgPath.substr(0, imgPath.size() - 4) + L".dir", Directory(entries));
}

std::wstring ExpectedRow(int index, const ArchiveEntry& entry) {
  wchar_t offset[16];
  std::swprintf(offset, 16, L"%08X", static_cast<uint32_t>(entry.offset) * kSector);
  std::string name = entry.name.substr(0, entry.name.find('\0'));
  return std::to_wstring(index) + L"%" + std::wstring(name.begin(), name.end()) + L"?" + offset +
         L"/" + std::to_wstring(entry.size * 2) + L" kb";
}

}  // namespace vandrel::e2e
