// Win32 half of the file layer: unbuffered handles, 64-bit positions, GetLastError as the code.
#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <tuple>
#include <vector>

#include "platform/errors.h"
#include "platform/file.h"

namespace vandrel {
namespace {

int CodeFromLastError(DWORD err) {
  switch (err) {
    case ERROR_FILE_NOT_FOUND:
      return kErrFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
      return kErrInvalidFilename;
    case ERROR_TOO_MANY_OPEN_FILES:
      return kErrTooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
      return kErrAccessDenied;
    case ERROR_HANDLE_EOF:
      return kErrReadBeyondEnd;
    case ERROR_ALREADY_EXISTS:
      return kErrFileExists;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return kErrDiskFull;
    default:
      return static_cast<int>(err);
  }
}

[[noreturn]] void FailLastError() { throw InOutError(CodeFromLastError(GetLastError())); }

class Win32File final : public IFile {
 public:
  explicit Win32File(HANDLE handle) : handle_(handle) {}
  ~Win32File() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  void Seek(int64_t position) override {
    LARGE_INTEGER to;
    to.QuadPart = position;
    if (!SetFilePointerEx(handle_, to, nullptr, FILE_BEGIN)) FailLastError();
  }
  int64_t Position() override {
    LARGE_INTEGER zero{}, at;
    if (!SetFilePointerEx(handle_, zero, &at, FILE_CURRENT)) FailLastError();
    return at.QuadPart;
  }
  int64_t Length() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(handle_, &size)) FailLastError();
    return size.QuadPart;
  }
  size_t ReadSome(void* buffer, size_t count) override {
    size_t done = 0;
    while (done < count) {
      DWORD want = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
      DWORD got = 0;
      if (!ReadFile(handle_, static_cast<char*>(buffer) + done, want, &got, nullptr))
        FailLastError();
      if (got == 0) break;
      done += got;
    }
    return done;
  }
  void Write(const void* buffer, size_t count) override {
    size_t done = 0;
    while (done < count) {
      DWORD want = static_cast<DWORD>(std::min<size_t>(count - done, 1u << 30));
      DWORD put = 0;
      if (!WriteFile(handle_, static_cast<const char*>(buffer) + done, want, &put, nullptr))
        FailLastError();
      if (put == 0) throw InOutError(kErrDiskFull);
      done += put;
    }
  }
  void Flush() override {
    if (!FlushFileBuffers(handle_)) FailLastError();
  }
  void SetLength(int64_t length) override {
    const int64_t position = Position();
    Seek(length);
    if (!SetEndOfFile(handle_)) FailLastError();
    Seek(position);
  }
  void Close() override {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (!CloseHandle(handle)) FailLastError();
  }

 private:
  HANDLE handle_;
};

bool IsReadOnlyFile(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A file that stands for another: a symbolic link or any reparse point that names something
// else. Cloud placeholders and the like are reparse points too, but hold the file itself.
bool IsLinkToAFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      (attributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return IsReparseTagNameSurrogate(found.dwReserved0);
}

// What was opened must be a file on a disk, not a pipe or a device such as NUL or COM1.
std::unique_ptr<IFile> Checked(HANDLE handle, FileKind kind) {
  auto file = std::make_unique<Win32File>(handle);
  if (kind != FileKind::Any && GetFileType(handle) != FILE_TYPE_DISK)
    throw InOutError(kErrNotAFile);
  return file;
}

HANDLE OpenHandle(const std::wstring& path, DWORD access, DWORD disposition) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Asks for no access at all, so neither a read-only file nor another program's hold stops it.
HANDLE OpenToIdentify(const std::wstring& path) {
  return CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The volume and the file's number on it, which no other file shares; none for a missing file.
std::optional<std::tuple<DWORD, DWORD, DWORD>> Identity(const std::wstring& path) {
  HANDLE handle = OpenToIdentify(path);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
}

// The file index without the volume's serial number, which Wine looks up anew each time it is
// asked for it: 1,000 files took half a second that way.
std::optional<uint64_t> FileNumber(const std::wstring& path) {
  HANDLE handle = OpenToIdentify(path);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
  IO_STATUS_BLOCK io;
  LARGE_INTEGER index;
  const NTSTATUS status =
      NtQueryInformationFile(handle, &io, &index, sizeof index, kFileInternalInformation);
  CloseHandle(handle);
  if (status < 0) return std::nullopt;
  return static_cast<uint64_t>(index.QuadPart);
}

std::optional<std::tuple<DWORD, DWORD, DWORD>> IdentityOfHandle(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return std::nullopt;
  return std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
}

// Windows locks byte ranges against every other handle's reads and writes, so the locked byte
// lies far beyond any data: a game reading the archive, or our own handles writing it, are
// never stopped by a hold.
constexpr DWORD kLockedByteHigh = 0x40000000;  // byte 2^62

// A lock's handle, which the file system lets go of early when the file is to be replaced.
struct LockHandle {
  HANDLE handle = INVALID_HANDLE_VALUE;
  void LetGo() {
    if (handle == INVALID_HANDLE_VALUE) return;
    OVERLAPPED at = {};
    at.OffsetHigh = kLockedByteHigh;
    UnlockFileEx(handle, 0, 1, 0, &at);
    CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
  }
};

class Win32Lock final : public IFileLock {
 public:
  explicit Win32Lock(std::shared_ptr<LockHandle> held) : held_(std::move(held)) {}
  ~Win32Lock() override { held_->LetGo(); }
  bool Names(const std::wstring& path) override {
    if (held_->handle == INVALID_HANDLE_VALUE) return false;
    const auto held = IdentityOfHandle(held_->handle), named = Identity(path);
    return held && named && *held == *named;
  }

 private:
  std::shared_ptr<LockHandle> held_;
};

// Renames `from` over `to` in its folder even while handles to `to` are open that allow its
// deletion, as the hold's own handles do: new names of the same folder, and a system that knows
// this kind of rename (older ones and some file systems do not).
bool ReplaceKeepingHolds(const std::wstring& from, const std::wstring& to) {
  const size_t cut = to.find_last_of(L"\\/");
  const std::wstring folder = cut == std::wstring::npos ? L"" : to.substr(0, cut + 1);
  if (from.compare(0, folder.size(), folder) != 0 ||
      from.find_first_of(L"\\/", folder.size()) != std::wstring::npos)
    return false;
  const std::wstring name = to.substr(folder.size());
  HANDLE source = CreateFileW(from.c_str(), DELETE | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (source == INVALID_HANDLE_VALUE) return false;
  constexpr DWORD kReplaceIfExists = 0x1, kPosixSemantics = 0x2;
  constexpr auto kRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  // The union's first member is the flags word of this kind of rename.
  DWORD flags = kReplaceIfExists | kPosixSemantics;
  std::memcpy(info, &flags, sizeof flags);
  info->RootDirectory = nullptr;
  info->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  std::memcpy(info->FileName, name.data(), info->FileNameLength);
  const bool renamed = SetFileInformationByHandle(source, kRenameInfoEx, info,
                                                  static_cast<DWORD>(buffer.size())) != 0;
  CloseHandle(source);
  return renamed;
}

class Win32FileSystem final : public IFileSystem {
 public:
  std::unique_ptr<IFile> Open(const std::wstring& path, FileMode mode, FileKind kind) override {
    const DWORD access = mode == FileMode::ReadOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const bool creating = mode == FileMode::Create || mode == FileMode::CreateNew;
    // Most files created are new, and a new one needs no read-only question: asked of a name
    // that is not there, Wine searches the whole folder for it, once more per file created.
    if (creating) {
      HANDLE handle = OpenHandle(path, access, CREATE_NEW);
      if (handle != INVALID_HANDLE_VALUE) return Checked(handle, kind);
      const DWORD err = GetLastError();
      if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) FailLastError();
    }
    // The kind first: a link is refused as a link, not for what its target is.
    if (kind == FileKind::Own && IsLinkToAFile(path)) throw InOutError(kErrNotAFile);
    // Windows refuses to write a read-only file; Wine run as root would not, so ask first.
    if (mode != FileMode::ReadOnly && IsReadOnlyFile(path)) throw InOutError(kErrAccessDenied);
    if (mode == FileMode::CreateNew) throw InOutError(kErrFileExists);
    HANDLE handle = OpenHandle(path, access, creating ? CREATE_ALWAYS : OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) FailLastError();
    return Checked(handle, kind);
  }

  bool FileExists(const std::wstring& path) override {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  std::optional<FileIdentity> IdentityOf(const std::wstring& path) override {
    const auto identity = Identity(path);
    if (!identity) return std::nullopt;
    const auto [volume, high, low] = *identity;
    return FileIdentity{volume, uint64_t{high} << 32 | low};
  }

  std::optional<uint64_t> FileNumberOf(const std::wstring& path) override {
    return FileNumber(path);
  }

  std::optional<int64_t> FindSize(const std::wstring& path) override {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(search);
    return (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
  }

  bool Rename(const std::wstring& from, const std::wstring& to) override {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  }

  // Where the system cannot replace a file that is open, a hold of ours on `to` is let go of
  // first: the file it held is going, and the name will hold the new one. Anybody else's handle
  // on `to` still makes the replace fail, so nobody writes into a file that is going.
  void Replace(const std::wstring& from, const std::wstring& to) override {
    if (IsReadOnlyFile(to)) throw InOutError(kErrAccessDenied);
    if (ReplaceKeepingHolds(from, to)) return;
    LetGoOfHoldsOn(to);
    if (!MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      FailLastError();
  }

  // Asking for the right to delete, while allowing every other use, fails exactly when someone
  // holds the file without allowing its deletion or renaming.
  bool CanReplace(const std::wstring& path) override {
    if (!FileExists(path) || IsReadOnlyFile(path)) return false;
    HANDLE probe =
        CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return false;
    CloseHandle(probe);
    return true;
  }

  bool Delete(const std::wstring& path) override { return DeleteFileW(path.c_str()) != 0; }

  // Reading is all the handle needs: Windows locks through any handle. It lets everybody else
  // read, write, rename and delete the file, so that a game keeps playing and our own
  // replacing, and the probe for it, go on as without it.
  std::unique_ptr<IFileLock> TryLock(const std::wstring& path, LockKind kind) override {
    auto held = std::make_shared<LockHandle>();
    held->handle = CreateFileW(path.c_str(), GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (held->handle == INVALID_HANDLE_VALUE) FailLastError();
    auto lock = std::make_unique<Win32Lock>(held);
    if (GetFileType(held->handle) != FILE_TYPE_DISK) throw InOutError(kErrAccessDenied);
    OVERLAPPED at = {};
    at.OffsetHigh = kLockedByteHigh;
    const DWORD flags =
        LOCKFILE_FAIL_IMMEDIATELY | (kind == LockKind::Exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (!LockFileEx(held->handle, flags, 0, 1, 0, &at)) {
      const DWORD err = GetLastError();
      if (err == ERROR_LOCK_VIOLATION || err == ERROR_IO_PENDING) return nullptr;
      // A file system without locks holds nothing back, as before there were locks.
    }
    std::erase_if(holds_, [](const auto& hold) { return hold.expired(); });
    holds_.push_back(held);
    return lock;
  }

  std::wstring ProgramPath() override {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
      DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n < buffer.size()) return buffer.substr(0, n);
      buffer.resize(buffer.size() * 2);
    }
  }

 private:
  void LetGoOfHoldsOn(const std::wstring& path) {
    const auto named = Identity(path);
    if (!named) return;
    for (const auto& hold : holds_)
      if (auto held = hold.lock())
        if (held->handle != INVALID_HANDLE_VALUE && IdentityOfHandle(held->handle) == named)
          held->LetGo();
  }

  std::vector<std::weak_ptr<LockHandle>> holds_;
};

}  // namespace

// The codes here are the system's own numbers, so the system words each one.
SystemError DescribeSystemError(int code) {
  wchar_t* words = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  std::wstring text = length > 0 ? std::wstring(words, length) : std::wstring();
  if (words) LocalFree(words);
  // The system ends its sentences with a full stop and a line break; the error box adds its own.
  text.erase(text.find_last_not_of(L" .\r\n") + 1);
  return {code, text};
}

std::unique_ptr<IFileSystem> MakeNativeFileSystem() { return std::make_unique<Win32FileSystem>(); }

}  // namespace vandrel
