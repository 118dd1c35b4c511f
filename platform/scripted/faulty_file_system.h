#pragma once
// Wraps a real file system for the tests. It counts every file operation (open, seek,
// position, length, read, write, the system's copy, flush, set length, close, rename, replace,
// the replace probe and delete), from 1 across all files, and on request:
// - fails the Nth with a chosen error code (a rename, probe or delete then answers false);
// - lets the Nth happen and then kills the command there, as a power cut or a killed process
//   would: a hook sees the files as they are at that moment (writes are unbuffered), then the
//   command is ended with ProcessDied, and what it does after that no longer counts;
// - behaves as if another program held a file open without allowing it to be renamed,
//   replaced or deleted;
// - refuses creating files in a chosen folder, as a folder the user may not write to does;
// - names another path as the running program file, as a program installed elsewhere;
// - has the system refuse to copy between files, as it does between two file systems.
#include <exception>
#include <functional>
#include <set>
#include <type_traits>

#include "platform/errors.h"
#include "platform/file.h"

namespace vandrel::scripted {

struct ProcessDied : std::exception {
  const char* what() const noexcept override { return "the process died here"; }
};

class FaultyFileSystem final : public IFileSystem {
 public:
  explicit FaultyFileSystem(IFileSystem& real) : real_(real) {}
  void FailAt(int operation, int code) { failAt_ = operation, code_ = code; }
  void DieAfter(int operation, std::function<void()> onDeath) {
    dieAfter_ = operation, onDeath_ = std::move(onDeath);
  }
  void RefuseCreatingIn(const std::wstring& folder) { lockedFolder_ = folder; }
  void Hold(const std::wstring& path) { held_.insert(path); }
  void Release(const std::wstring& path) { held_.erase(path); }
  void MoveProgramTo(const std::wstring& path) { programPath_ = path; }
  void RefuseSystemCopy() { refuseCopy_ = true; }
  bool RefusesSystemCopy() const { return refuseCopy_; }
  int operations() const { return count_; }

  // Runs one counted operation: the chosen failure before it, the chosen death after it.
  template <class Operation>
  auto Counted(Operation&& operation) -> decltype(operation()) {
    if (++count_ == failAt_) throw InOutError(code_);
    if constexpr (std::is_void_v<decltype(operation())>) {
      operation();
      AfterOperation();
    } else {
      auto result = operation();
      AfterOperation();
      return result;
    }
  }

  using IFileSystem::Open;
  std::unique_ptr<IFile> Open(const std::wstring& path, FileMode mode, FileKind kind) override;
  bool FileExists(const std::wstring& path) override { return real_.FileExists(path); }
  std::optional<FileIdentity> IdentityOf(const std::wstring& path) override {
    return real_.IdentityOf(path);
  }
  std::optional<int64_t> FindSize(const std::wstring& path) override {
    return real_.FindSize(path);
  }
  bool Rename(const std::wstring& from, const std::wstring& to) override;
  void Replace(const std::wstring& from, const std::wstring& to) override;
  bool CanReplace(const std::wstring& path) override;
  bool Delete(const std::wstring& path) override;
  // Holds are not counted: they neither change nor read a file, and the real ones are taken.
  std::unique_ptr<IFileLock> TryLock(const std::wstring& path, LockKind kind) override {
    return real_.TryLock(path, kind);
  }
  std::wstring ProgramPath() override {
    return programPath_.empty() ? real_.ProgramPath() : programPath_;
  }

 private:
  void AfterOperation();
  bool IsHeld(const std::wstring& path) const { return held_.count(path) != 0; }
  // A failing operation that reports failure by its result rather than by raising.
  bool Answered(const std::function<bool()>& operation);

  IFileSystem& real_;
  int failAt_ = 0, code_ = 0, count_ = 0, dieAfter_ = 0;
  bool refuseCopy_ = false;
  std::function<void()> onDeath_;
  std::set<std::wstring> held_;
  std::wstring lockedFolder_;
  std::wstring programPath_;
};

}  // namespace vandrel::scripted
