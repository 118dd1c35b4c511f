#pragma once
// A file system held in memory for the fuzz sessions: thousands of runs a second, and nothing
// a damaged archive makes the commands write ever reaches a disk. It behaves as the POSIX one
// does where the commands can tell: the same error codes, files that live on while open after
// a rename or delete, ".." and both separators in paths, and a full disk once a file would
// pass a cap. It has only the folders it is made with.
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/file.h"

namespace vandrel::fuzz {

using Bytes = std::vector<uint8_t>;

class MemoryFileSystem final : public IFileSystem {
 public:
  MemoryFileSystem(const std::vector<std::wstring>& folders, size_t fileCap);

  // The files as they are, by their plain path ("/folder/name").
  const std::map<std::wstring, std::shared_ptr<Bytes>>& files() const { return files_; }
  void Put(const std::wstring& path, Bytes bytes);
  // Removes every file in `folder`.
  void Empty(const std::wstring& folder);

  using IFileSystem::Open;
  // Every file here is a regular file of its own, whatever kind is asked for.
  std::unique_ptr<IFile> Open(const std::wstring& path, FileMode mode, FileKind kind) override;
  bool FileExists(const std::wstring& path) override;
  std::optional<FileIdentity> IdentityOf(const std::wstring& path) override;
  std::optional<int64_t> FindSize(const std::wstring& path) override;
  bool Rename(const std::wstring& from, const std::wstring& to) override;
  void Replace(const std::wstring& from, const std::wstring& to) override;
  bool CanReplace(const std::wstring& path) override { return FileExists(path); }
  bool Delete(const std::wstring& path) override;
  std::wstring ProgramPath() override { return L"/program/vandrel"; }

 private:
  // The plain path, "" for one that climbs above the root.
  static std::wstring Plain(const std::wstring& path);
  bool FolderOf(const std::wstring& plain) const;

  std::set<std::wstring> folders_;
  std::map<std::wstring, std::shared_ptr<Bytes>> files_;
  size_t fileCap_;
};

}  // namespace vandrel::fuzz
