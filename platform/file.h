#pragma once
// The file layer: byte-addressed files whose every failure raises InOutError.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vandrel {

enum class FileMode {
  ReadOnly,   // must exist
  ReadWrite,  // must exist; not truncated
  Create,     // created, or truncated when it exists; read and write
  CreateNew,  // created; fails when a file of that name exists; read and write
};

// What an open accepts at the path. A refused one raises kErrNotAFile, found out before the
// open where the system can tell (a pipe may block the open itself, a device may act on it) and
// checked again on what was opened; a folder stays "File access denied".
enum class FileKind {
  Any,      // whatever the system opens
  Regular,  // a regular file, a link to one followed: never a pipe or a device, whose reads
            // can block for ever or never end
  Own,      // a regular file at the path itself, never a link or reparse point: what a command
            // writes stays inside the folder it names
};

class IFile {
 public:
  IFile() = default;
  IFile(const IFile&) = delete;
  IFile& operator=(const IFile&) = delete;
  // A file not closed explicitly is closed here, silently: that is the error path.
  virtual ~IFile() = default;

  virtual void Seek(int64_t position) = 0;
  virtual int64_t Position() = 0;
  virtual int64_t Length() = 0;
  // Reads up to `count` bytes and returns how many arrived (fewer only at the end of the file).
  virtual size_t ReadSome(void* buffer, size_t count) = 0;
  // Writes all `count` bytes; a short write is "Disk full".
  virtual void Write(const void* buffer, size_t count) = 0;
  // Reads up to `count` bytes from byte `position` on and returns how many arrived (fewer only
  // at the end of the file). Where the file's position stands afterwards is not said: Seek
  // before the next ReadSome or Write.
  virtual size_t ReadSomeAt(void* buffer, size_t count, int64_t position);
  // Writes all `count` bytes from byte `position` on; the position afterwards as above.
  virtual void WriteAt(const void* buffer, size_t count, int64_t position);
  // Has the system copy `count` bytes from byte `from` of `source` to byte `to` of this file,
  // without them passing through the program, and returns how many it copied: fewer when the
  // source ends, and fewer (none) where the system will not copy between these two files; the
  // caller copies the rest itself. The positions afterwards as above.
  virtual int64_t CopyFrom(IFile& source, int64_t from, int64_t to, int64_t count);
  // Two hints, which change nothing the file holds and fail silently. The bytes written to this
  // range may start for the disk now, while the program goes on, so that a Flush later has less
  // to wait for:
  virtual void StartWriting(int64_t position, int64_t count);
  // The bytes read from this range will not be read again, so the system need not keep them:
  virtual void ForgetCached(int64_t position, int64_t count);
  // Returns once everything written so far has reached the disk, so a power cut keeps it.
  virtual void Flush() = 0;
  // Cuts the file to `length` bytes, which must be at most its length.
  virtual void SetLength(int64_t length) = 0;
  virtual void Close() = 0;

  // Exactly `count` bytes, or "Read beyond end of file".
  void Read(void* buffer, size_t count);
};

// How a file is held against other programs, and against other holds of this one.
enum class LockKind {
  Shared,     // readers: any number at once, but no writer
  Exclusive,  // one writer, and nobody else
};

// A hold on one file, let go when this goes. It keeps nobody from reading or writing the file;
// it only keeps other holds out.
class IFileLock {
 public:
  IFileLock() = default;
  IFileLock(const IFileLock&) = delete;
  IFileLock& operator=(const IFileLock&) = delete;
  virtual ~IFileLock() = default;
  // Whether `path` still names the held file: a rename may have put another file in its place
  // since it was taken.
  virtual bool Names(const std::wstring& path) = 0;
};

// A file's volume and its number there, which no other file on the volume shares.
struct FileIdentity {
  uint64_t volume = 0, file = 0;
  bool operator==(const FileIdentity&) const = default;
};

class IFileSystem {
 public:
  virtual ~IFileSystem() = default;
  std::unique_ptr<IFile> Open(const std::wstring& path, FileMode mode) {
    return Open(path, mode, FileKind::Any);
  }
  virtual std::unique_ptr<IFile> Open(const std::wstring& path, FileMode mode, FileKind kind) = 0;
  // True for an existing file; a folder does not count.
  virtual bool FileExists(const std::wstring& path) = 0;
  // What tells an existing file from every other, however its path is spelt: another case,
  // another way to the same folder, a second link to the file. None for a missing file.
  virtual std::optional<FileIdentity> IdentityOf(const std::wstring& path) = 0;
  // The file half of that identity alone, where a system answers it for less: files of other
  // numbers are surely others; of one number, only their volumes can still tell them apart.
  virtual std::optional<uint64_t> FileNumberOf(const std::wstring& path);
  // Whether both paths name one existing file.
  bool SameFile(const std::wstring& a, const std::wstring& b) {
    const auto first = IdentityOf(a), second = IdentityOf(b);
    return first && second && *first == *second;
  }
  // Size of the first match of a directory search that accepts any attribute (folders too).
  virtual std::optional<int64_t> FindSize(const std::wstring& path) = 0;
  // Never over an existing file.
  virtual bool Rename(const std::wstring& from, const std::wstring& to) = 0;
  // Puts `from` in place of the existing `to` in one step that a power cut cannot split: `to`
  // names either the old file or the new one, never neither. Raises the I/O error on failure.
  virtual void Replace(const std::wstring& from, const std::wstring& to) = 0;
  // Whether the existing file could be renamed, replaced or deleted now: not when it is
  // read-only or another program holds it open without allowing that. Changes nothing.
  virtual bool CanReplace(const std::wstring& path) = 0;
  virtual bool Delete(const std::wstring& path) = 0;
  // Holds the existing file without waiting: none when another hold keeps it. A file that cannot
  // be opened for writing may be held shared only, which still keeps every writer out. Raises
  // the I/O error when the file cannot be opened at all. A file system that knows no holds
  // (files in memory) grants every one.
  virtual std::unique_ptr<IFileLock> TryLock(const std::wstring& path, LockKind kind);
  // Full path of the running program file.
  virtual std::wstring ProgramPath() = 0;
};

// The real file system of the platform this is built for.
std::unique_ptr<IFileSystem> MakeNativeFileSystem();

}  // namespace vandrel
