#include "tests/test_support.h"

#include <fstream>
#include <random>

#include "app/options.h"
#include "archive/img_archive.h"
#include "platform/utf8.h"

namespace vandrel::testing {

TempDir::TempDir() {
  static unsigned counter = 0;
  std::random_device random;
  root_ = std::filesystem::temp_directory_path() /
          ("vandrel-test-" + std::to_string(random()) + "-" + std::to_string(++counter));
  std::filesystem::create_directories(root_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Read-only files made by a test must not survive it.
  for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored))
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(root_, ignored);
}

std::wstring TempDir::Path(const std::string& name) const {
  return FromUtf8((root_ / name).string());
}

Bytes ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(ToUtf8(path)), std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::wstring& path, const Bytes& bytes) {
  std::ofstream out(std::filesystem::path(ToUtf8(path)), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

Bytes Pattern(size_t size, unsigned seed) {
  Bytes bytes(size);
  std::minstd_rand random(seed + 1);
  for (auto& b : bytes) b = static_cast<unsigned char>(random() | 1);  // never zero
  return bytes;
}

Files Snapshot(const TempDir& dir) {
  Files files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.root()))
    if (entry.is_regular_file())
      files[entry.path().filename().string()] = ReadBytes(FromUtf8(entry.path().string()));
  return files;
}

TIMGFileEntry MakeEntry(const EntryRecord& record) {
  TIMGFileEntry entry;
  entry.Offset = record.offset;
  entry.Size = record.size;
  SetNameBytes(entry, record.name);
  return entry;
}

Bytes EncodeDirectory(const std::vector<EntryRecord>& entries) {
  Bytes bytes(entries.size() * kEntrySize);
  for (size_t i = 0; i < entries.size(); ++i)
    EncodeEntry(MakeEntry(entries[i]), &bytes[i * kEntrySize]);
  return bytes;
}

std::wstring MakeV1(const TempDir& dir, const std::string& base,
                    const std::vector<EntryRecord>& entries, const Bytes& imgBytes) {
  std::wstring img = dir.Path(base + ".img");
  WriteBytes(img, imgBytes);
  WriteBytes(dir.Path(base + ".dir"), EncodeDirectory(entries));
  return img;
}

std::wstring MakeV2(const TempDir& dir, const std::string& name,
                    const std::vector<EntryRecord>& entries, Bytes imgBytes) {
  Bytes head(kHeaderSize);
  TIMGHeader header;
  header.FileCount = static_cast<int32_t>(entries.size());
  EncodeHeader(header, head.data());
  Bytes directory = EncodeDirectory(entries);
  head.insert(head.end(), directory.begin(), directory.end());
  if (imgBytes.size() < head.size()) imgBytes.resize(head.size());
  std::copy(head.begin(), head.end(), imgBytes.begin());
  std::wstring path = dir.Path(name);
  WriteBytes(path, imgBytes);
  return path;
}

std::wstring FixturePath(const std::string& name) {
  return FromUtf8(std::string(VANDREL_FIXTURES) + "/" + name);
}

WindowTest::WindowTest() {
  IMGArchive = {};
  Options = {};
}

WindowTest::~WindowTest() {
  IMGArchive = {};
  Options = {};
}

}  // namespace vandrel::testing
