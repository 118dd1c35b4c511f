#include "ops/file_swap.h"

#include <algorithm>

#include "app/random.h"
#include "ops/directory_io.h"
#include "ops/operation_record.h"
#include "platform/paths.h"

namespace vandrel {
namespace {

constexpr wchar_t kDirectoryPrefix[] = L"TMPD";
constexpr int kTemporaryNumbers = 9999;
// A name in use is passed over; after this many the create itself reports the clash.
constexpr int kNameAttempts = 100;

}  // namespace

std::wstring TemporaryName(const std::wstring& beside, const wchar_t* prefix) {
  return paths::Folder(beside) + prefix + std::to_wstring(Random(kTemporaryNumbers));
}

bool IsTemporaryName(const std::wstring& fileName) {
  const std::wstring prefix = fileName.substr(0, 4),
                     number = fileName.substr(std::min<size_t>(4, fileName.size()));
  const bool digits = !number.empty() && number.size() <= 4 &&
                      number.find_first_not_of(L"0123456789") == std::wstring::npos &&
                      (number[0] != L'0' || number.size() == 1);
  return digits && (prefix == kDirectoryPrefix || prefix == L"TMPI");
}

std::wstring FreeDirectoryName(IFileSystem& files, const std::wstring& target) {
  std::wstring name = TemporaryName(target, kDirectoryPrefix);
  for (int attempt = 1; attempt < kNameAttempts && files.FileExists(name); ++attempt)
    name = TemporaryName(target, kDirectoryPrefix);
  return name;
}

void WriteAside(IFileSystem& files, const std::wstring& name,
                const std::vector<unsigned char>& bytes) {
  auto file = files.Open(name, FileMode::CreateNew);
  try {
    if (!bytes.empty()) file->Write(bytes.data(), bytes.size());
    file->Flush();
    file->Close();
  } catch (...) {
    file.reset();
    DeleteQuietly(files, name);
    throw;
  }
}

void ReplaceDirectoryFile(IFileSystem& files, const std::wstring& img, const std::wstring& dirPath,
                          const std::vector<TIMGFileEntry>& entries) {
  const std::wstring written = FreeDirectoryName(files, dirPath);
  BeginRecord(files, img, RecordKind::DirectoryV1, {written});
  try {
    WriteAside(files, written, EncodeEntries(entries));
    files.Replace(written, dirPath);
  } catch (...) {
    DeleteQuietly(files, written);
    // With the new directory gone nothing is left to put right; otherwise the record stays
    // for the next opening to remove it.
    if (!files.FileExists(written)) EndRecordQuietly(files, img);
    throw;
  }
  EndRecord(files, img);
}

void DeleteQuietly(IFileSystem& files, const std::wstring& path) {
  try {
    files.Delete(path);
  } catch (...) {
  }
}

}  // namespace vandrel
