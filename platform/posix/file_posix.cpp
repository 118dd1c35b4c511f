// POSIX half of the file layer. Backslashes in paths are taken as folder separators so that the
// portable core, which builds Windows paths, runs unchanged here.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

#include "platform/errors.h"
#include "platform/file.h"
#include "platform/utf8.h"

namespace vandrel {
namespace {

std::string NativePath(const std::wstring& path) {
  std::string out = ToUtf8(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool ParentMissing(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return false;
  struct stat st;
  return stat(path.substr(0, slash).c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
}

// A rename reaches the disk only with its folder; where the folder cannot be synced (some
// file systems refuse), there is nothing more to do.
void SyncFolderOf(const std::string& path) {
  int fd = ::open(Parent(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Like the read-only attribute on Windows, a file without write permission refuses writers,
// renames over it and deletion, also for root.
bool IsReadOnlyFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0;
}

// Looked at before opening: a pipe would block the open itself, and a device may act on it.
void RefuseOtherKinds(const std::string& path, FileKind kind) {
  if (kind == FileKind::Any) return;
  struct stat st;
  const int found = kind == FileKind::Own ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st);
  if (found == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) throw InOutError(kErrNotAFile);
}

// Any kind is truncated by the open itself, as it always was; the other kinds only once the
// open has shown a regular file. Never blocking on a pipe that slips in, never through a link.
int OpenFlags(bool creating, FileKind kind) {
  if (kind == FileKind::Any) return creating ? O_CREAT | O_TRUNC : 0;
  return (creating ? O_CREAT : 0) | O_NONBLOCK | (kind == FileKind::Own ? O_NOFOLLOW : 0);
}

// An errno the program has no code of its own for is raised as this plus errno: errno's
// numbers would otherwise meet the program's (errno 5 is an input/output error, code 5 "File
// access denied").
constexpr int kErrnoCodes = 1 << 20;

// `opening`: a name is being opened, where a refused argument can only be the name.
int CodeFromErrno(int err, const std::string& path, bool opening = true) {
  switch (err) {
    case ENOENT:
      return ParentMissing(path) ? kErrInvalidFilename : kErrFileNotFound;
    case EINVAL:
      if (!opening) break;
      [[fallthrough]];
    case ENOTDIR:
    case ENAMETOOLONG:
    case EILSEQ:
      return kErrInvalidFilename;
    case EMFILE:
    case ENFILE:
      return kErrTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return kErrAccessDenied;
    case EEXIST:
      return kErrFileExists;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return kErrDiskFull;
    default:
      break;
  }
  return kErrnoCodes + err;
}

class PosixFile final : public IFile {
 public:
  // `made`: the open made the file, so its name is not yet on the disk.
  PosixFile(int fd, std::string path, bool made)
      : fd_(fd), path_(std::move(path)), nameToSync_(made) {}
  ~PosixFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  void Seek(int64_t position) override {
    // A damaged entry's negative offset fails as it does on Windows.
    if (position < 0) throw InOutError(kErrNegativeSeek);
    if (::lseek(fd_, position, SEEK_SET) < 0) Fail(errno);
  }
  int64_t Position() override {
    off_t pos = ::lseek(fd_, 0, SEEK_CUR);
    if (pos < 0) Fail(errno);
    return pos;
  }
  int64_t Length() override {
    struct stat st;
    if (::fstat(fd_, &st) != 0) Fail(errno);
    return st.st_size;
  }
  size_t ReadSome(void* buffer, size_t count) override {
    return Repeated(count, [&](size_t done) {
      return ::read(fd_, static_cast<char*>(buffer) + done, count - done);
    });
  }
  void Write(const void* buffer, size_t count) override {
    if (Repeated(count, [&](size_t done) {
          return ::write(fd_, static_cast<const char*>(buffer) + done, count - done);
        }) < count)
      throw InOutError(kErrDiskFull);
  }
  size_t ReadSomeAt(void* buffer, size_t count, int64_t position) override {
    if (position < 0) throw InOutError(kErrNegativeSeek);
    return Repeated(count, [&](size_t done) {
      return ::pread(fd_, static_cast<char*>(buffer) + done, count - done,
                     position + static_cast<off_t>(done));
    });
  }
  void WriteAt(const void* buffer, size_t count, int64_t position) override {
    if (position < 0) throw InOutError(kErrNegativeSeek);
    if (Repeated(count, [&](size_t done) {
          return ::pwrite(fd_, static_cast<const char*>(buffer) + done, count - done,
                          position + static_cast<off_t>(done));
        }) < count)
      throw InOutError(kErrDiskFull);
  }
#ifdef __linux__
  int64_t CopyFrom(IFile& source, int64_t from, int64_t to, int64_t count) override {
    const auto* other = dynamic_cast<PosixFile*>(&source);
    if (other == nullptr || from < 0 || to < 0 || count <= 0) return 0;
    return static_cast<int64_t>(Repeated(static_cast<size_t>(count), [&](size_t done) {
      off_t in = from + static_cast<off_t>(done), out = to + static_cast<off_t>(done);
      const ssize_t moved =
          ::copy_file_range(other->fd_, &in, fd_, &out, static_cast<size_t>(count) - done, 0);
      // Another file system, an older kernel or files it cannot pair: the caller copies on.
      const bool refused = moved < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                                         errno == EOPNOTSUPP || errno == EBADF);
      return refused ? ssize_t{0} : moved;
    }));
  }
  void StartWriting(int64_t position, int64_t count) override {
    ::sync_file_range(fd_, position, count, SYNC_FILE_RANGE_WRITE);
  }
#endif
#ifdef POSIX_FADV_DONTNEED  // not every POSIX system has it
  void ForgetCached(int64_t position, int64_t count) override {
    ::posix_fadvise(fd_, position, count, POSIX_FADV_DONTNEED);
  }
#endif
  // A new file's name is flushed with its first contents: a record of the bytes a command is
  // about to overwrite is of no use if a power cut leaves the bytes in a file without a name.
  void Flush() override {
    if (::fsync(fd_) != 0) Fail(errno);
    if (nameToSync_) SyncFolderOf(path_);
    nameToSync_ = false;
  }
  void SetLength(int64_t length) override {
    if (::ftruncate(fd_, length) != 0) Fail(errno);
  }
  void Close() override {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(errno);
  }

 private:
  [[noreturn]] void Fail(int err) { throw InOutError(CodeFromErrno(err, path_, false)); }

  // Repeats a read, write or copy of what is left of `count` bytes (`step` is given how many
  // are done) until all are done or the step moves none; returns how many were done.
  template <class Step>
  size_t Repeated(size_t count, Step step) {
    size_t done = 0;
    while (done < count) {
      const ssize_t moved = step(done);
      if (moved < 0) {
        if (errno == EINTR) continue;
        Fail(errno);
      }
      if (moved == 0) break;
      done += static_cast<size_t>(moved);
    }
    return done;
  }

  int fd_;
  std::string path_;
  bool nameToSync_;
};

// Locks belong to the open file description, not to the process, so two holds in one process
// keep each other out as two programs do. The locked byte lies far beyond any data, where the
// Windows build locks too.
class PosixLock final : public IFileLock {
 public:
  explicit PosixLock(int fd) : fd_(fd) {}
  ~PosixLock() override { ::close(fd_); }
  bool Names(const std::wstring& path) override {
    struct stat held, named;
    return ::fstat(fd_, &held) == 0 && ::stat(NativePath(path).c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
  }

 private:
  int fd_;
};

constexpr off_t kLockedByte = off_t{1} << 62;

class PosixFileSystem final : public IFileSystem {
 public:
  std::unique_ptr<IFile> Open(const std::wstring& path, FileMode mode, FileKind kind) override {
    std::string native = NativePath(path);
    if (native.empty()) throw InOutError(kErrFileNotFound);
    const int access = O_CLOEXEC | (mode == FileMode::ReadOnly ? O_RDONLY : O_RDWR);
    const bool creating = mode == FileMode::Create || mode == FileMode::CreateNew;
    // As on Windows: a new file first, and the read-only question only for one that is there.
    // O_EXCL never follows a link: a link of that name, even a dangling one, is there.
    int fd = creating ? ::open(native.c_str(), access | O_CREAT | O_EXCL, 0666) : -1;
    if (creating && fd < 0 && errno != EEXIST) throw InOutError(CodeFromErrno(errno, native));
    const bool existed = fd < 0;
    if (existed) {
      // The kind first: a link is refused as a link, not for what its target is.
      RefuseOtherKinds(native, kind);
      if (mode != FileMode::ReadOnly && IsReadOnlyFile(native)) throw InOutError(kErrAccessDenied);
      if (mode == FileMode::CreateNew) throw InOutError(kErrFileExists);
      fd = ::open(native.c_str(), access | OpenFlags(creating, kind), 0666);
      if (fd < 0)
        throw InOutError(errno == ELOOP && kind == FileKind::Own ? kErrNotAFile
                                                                 : CodeFromErrno(errno, native));
    }
    struct stat st;
    if (::fstat(fd, &st) == 0) {
      // Checked again on what was opened, in case the name changed hands since it was looked at.
      const int refusal = S_ISDIR(st.st_mode)                             ? kErrAccessDenied
                          : kind != FileKind::Any && !S_ISREG(st.st_mode) ? kErrNotAFile
                                                                          : 0;
      if (refusal != 0) {
        ::close(fd);
        throw InOutError(refusal);
      }
    }
    auto file = std::make_unique<PosixFile>(fd, native, !existed);
    // Only a file known to be regular is cut.
    if (existed && creating && kind != FileKind::Any) file->SetLength(0);
    return file;
  }

  bool FileExists(const std::wstring& path) override {
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
  }

  std::optional<FileIdentity> IdentityOf(const std::wstring& path) override {
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0) return std::nullopt;
    return FileIdentity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  }

  std::optional<int64_t> FindSize(const std::wstring& path) override {
    struct stat st;
    std::string native = NativePath(path);
    if (native.empty() || ::stat(native.c_str(), &st) != 0) return std::nullopt;
    return S_ISDIR(st.st_mode) ? 0 : static_cast<int64_t>(st.st_size);
  }

  bool Rename(const std::wstring& from, const std::wstring& to) override {
    std::string target = NativePath(to);
    struct stat st;
    // The system this mirrors never renames over an existing file.
    if (::lstat(target.c_str(), &st) == 0) return false;
    if (::rename(NativePath(from).c_str(), target.c_str()) != 0) return false;
    SyncFolderOf(target);
    return true;
  }

  void Replace(const std::wstring& from, const std::wstring& to) override {
    std::string source = NativePath(from), target = NativePath(to);
    if (IsReadOnlyFile(target)) throw InOutError(kErrAccessDenied);
    if (::rename(source.c_str(), target.c_str()) != 0)
      throw InOutError(CodeFromErrno(errno, source));
    SyncFolderOf(target);
  }

  // Nothing here keeps a file from being renamed while it is open.
  bool CanReplace(const std::wstring& path) override {
    std::string native = NativePath(path);
    struct stat st;
    return ::lstat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !IsReadOnlyFile(native);
  }

  bool Delete(const std::wstring& path) override {
    std::string native = NativePath(path);
    struct stat st;
    // The name's own kind and permission: a link goes, whatever it points at.
    if (::lstat(native.c_str(), &st) != 0 || S_ISDIR(st.st_mode) ||
        (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0))
      return false;
    return ::unlink(native.c_str()) == 0;
  }

  std::unique_ptr<IFileLock> TryLock(const std::wstring& path, LockKind kind) override {
    const std::string native = NativePath(path);
    // Without waiting for a writer at the other end of a pipe.
    const int flags = O_CLOEXEC | O_NONBLOCK;
    // A write lock needs a descriptor open for writing.
    int fd = kind == LockKind::Exclusive && !IsReadOnlyFile(native)
                 ? ::open(native.c_str(), flags | O_RDWR)
                 : -1;
    if (fd < 0) {
      kind = LockKind::Shared;
      fd = ::open(native.c_str(), flags | O_RDONLY);
    }
    if (fd < 0) throw InOutError(CodeFromErrno(errno, native));
    auto lock = std::make_unique<PosixLock>(fd);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) throw InOutError(kErrAccessDenied);
    struct flock range = {};
    range.l_type = kind == LockKind::Exclusive ? F_WRLCK : F_RDLCK;
    range.l_whence = SEEK_SET;
    range.l_start = kLockedByte;
    range.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &range) == 0) return lock;
    if (errno == EAGAIN || errno == EACCES) return nullptr;
    // A file system without locks holds nothing back, as before there were locks.
    return lock;
  }

  std::wstring ProgramPath() override {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? FromUtf8(std::string(buffer, static_cast<size_t>(n))) : std::wstring();
  }
};

}  // namespace

// The codes this layer raises for what it finds itself are told as errno tells the same.
SystemError DescribeSystemError(int code) {
  int number = 0;
  if (code >= kErrnoCodes)
    number = code - kErrnoCodes;
  else if (code == kErrFileExists)
    number = EEXIST;
  else if (code == kErrNegativeSeek)
    number = EINVAL;
  if (number == 0) return {code, L""};
  return {number, FromUtf8(std::strerror(number))};
}

std::unique_ptr<IFileSystem> MakeNativeFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace vandrel
