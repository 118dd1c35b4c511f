#pragma once
// Wraps a real file system and fails its Nth file operation (open, seek, position, length,
// read, write or close, counted from 1 across all files) with a chosen error code; or every
// creation of a file in a chosen folder, as a folder the user may not write to does.
#include "platform/file.h"

namespace vandrel::scripted {

class FaultyFileSystem final : public IFileSystem {
 public:
  explicit FaultyFileSystem(IFileSystem& real) : real_(real) {}
  void FailAt(int operation, int code) { failAt_ = operation, code_ = code; }
  void RefuseCreatingIn(const std::wstring& folder) { lockedFolder_ = folder; }
  int operations() const { return count_; }
  // Counts one operation and raises the chosen error when its turn has come.
  void Step();

  std::unique_ptr<IFile> Open(const std::wstring& path, FileMode mode) override;
  bool FileExists(const std::wstring& path) override { return real_.FileExists(path); }
  std::optional<int64_t> FindSize(const std::wstring& path) override {
    return real_.FindSize(path);
  }
  bool Rename(const std::wstring& from, const std::wstring& to) override {
    return real_.Rename(from, to);
  }
  bool Delete(const std::wstring& path) override { return real_.Delete(path); }
  std::wstring ProgramPath() override { return real_.ProgramPath(); }

 private:
  IFileSystem& real_;
  int failAt_ = 0, code_ = 0, count_ = 0;
  std::wstring lockedFolder_;
};

}  // namespace vandrel::scripted
