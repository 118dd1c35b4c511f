#include "ops/file_swap.h"

#include "app/random.h"
#include "ops/directory_io.h"
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

std::wstring WriteAside(IFileSystem& files, const std::wstring& target,
                        const std::vector<unsigned char>& bytes) {
  std::wstring name = TemporaryName(target, kDirectoryPrefix);
  for (int attempt = 1; attempt < kNameAttempts && files.FileExists(name); ++attempt)
    name = TemporaryName(target, kDirectoryPrefix);
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
  return name;
}

void ReplaceDirectoryFile(IFileSystem& files, const std::wstring& dirPath,
                          const std::vector<TIMGFileEntry>& entries) {
  const std::wstring written = WriteAside(files, dirPath, EncodeEntries(entries));
  try {
    files.Replace(written, dirPath);
  } catch (...) {
    DeleteQuietly(files, written);
    throw;
  }
}

void DeleteQuietly(IFileSystem& files, const std::wstring& path) {
  try {
    files.Delete(path);
  } catch (...) {
  }
}

}  // namespace vandrel
