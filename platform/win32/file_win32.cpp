// Win32 half of the file layer: unbuffered handles, 64-bit positions, GetLastError as the code.
#include <windows.h>

#include <algorithm>
#include <optional>
#include <tuple>

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

HANDLE OpenHandle(const std::wstring& path, DWORD access, DWORD disposition) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The volume and the file's number on it, which no other file shares; none for a missing file.
std::optional<std::tuple<DWORD, DWORD, DWORD>> Identity(const std::wstring& path) {
  // Asks for no access at all, so neither a read-only file nor another program's hold stops it.
  HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info;
  const bool known = GetFileInformationByHandle(handle, &info);
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow);
}

class Win32FileSystem final : public IFileSystem {
 public:
  std::unique_ptr<IFile> Open(const std::wstring& path, FileMode mode) override {
    const DWORD access = mode == FileMode::ReadOnly ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const bool creating = mode == FileMode::Create || mode == FileMode::CreateNew;
    // Most files created are new, and a new one needs no read-only question: asked of a name
    // that is not there, Wine searches the whole folder for it, once more per file created.
    if (creating) {
      HANDLE handle = OpenHandle(path, access, CREATE_NEW);
      if (handle != INVALID_HANDLE_VALUE) return std::make_unique<Win32File>(handle);
      const DWORD err = GetLastError();
      if (err != ERROR_FILE_EXISTS && err != ERROR_ALREADY_EXISTS) FailLastError();
    }
    // Windows refuses to write a read-only file; Wine run as root would not, so ask first.
    if (mode != FileMode::ReadOnly && IsReadOnlyFile(path)) throw InOutError(kErrAccessDenied);
    if (mode == FileMode::CreateNew) throw InOutError(kErrFileExists);
    HANDLE handle = OpenHandle(path, access, creating ? CREATE_ALWAYS : OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE) FailLastError();
    return std::make_unique<Win32File>(handle);
  }

  bool FileExists(const std::wstring& path) override {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool SameFile(const std::wstring& a, const std::wstring& b) override {
    const auto first = Identity(a), second = Identity(b);
    return first && second && *first == *second;
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

  void Replace(const std::wstring& from, const std::wstring& to) override {
    if (IsReadOnlyFile(to)) throw InOutError(kErrAccessDenied);
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

  std::wstring ProgramPath() override {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
      DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
      if (n < buffer.size()) return buffer.substr(0, n);
      buffer.resize(buffer.size() * 2);
    }
  }
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
