#include "platform/file.h"

#include "platform/errors.h"

namespace vandrel {

void IFile::Read(void* buffer, size_t count) {
  if (ReadSome(buffer, count) != count) throw InOutError(kErrReadBeyondEnd);
}

namespace {

struct GrantedLock final : IFileLock {
  bool Names(const std::wstring&) override { return true; }
};

}  // namespace

std::unique_ptr<IFileLock> IFileSystem::TryLock(const std::wstring&, LockKind) {
  return std::make_unique<GrantedLock>();
}

// Where the platform has no such calls, a seek before each does the same.
size_t IFile::ReadSomeAt(void* buffer, size_t count, int64_t position) {
  Seek(position);
  return ReadSome(buffer, count);
}

void IFile::WriteAt(const void* buffer, size_t count, int64_t position) {
  Seek(position);
  Write(buffer, count);
}

int64_t IFile::CopyFrom(IFile&, int64_t, int64_t, int64_t) { return 0; }

void IFile::StartWriting(int64_t, int64_t) {}

void IFile::ForgetCached(int64_t, int64_t) {}

std::optional<uint64_t> IFileSystem::FileNumberOf(const std::wstring& path) {
  const auto identity = IdentityOf(path);
  if (!identity) return std::nullopt;
  return identity->file;
}

}  // namespace vandrel
