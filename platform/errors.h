#pragma once
// Errors travel as exceptions carrying the text the user sees; one top-level handler shows them.
#include <exception>
#include <string>

namespace vandrel {

class AppError : public std::exception {
 public:
  explicit AppError(std::wstring message);
  const std::wstring& Message() const noexcept { return message_; }
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  std::wstring message_;
  std::string utf8_;
};

// A failed file operation; the code is the system's (or 100 for a short read, 101 for a full disk).
class InOutError : public AppError {
 public:
  explicit InOutError(int code);
  int Code() const noexcept { return code_; }

 private:
  int code_;
};

inline constexpr int kErrFileNotFound = 2;
inline constexpr int kErrInvalidFilename = 3;
inline constexpr int kErrTooManyOpenFiles = 4;
inline constexpr int kErrAccessDenied = 5;
inline constexpr int kErrFileExists = 80;
// Windows' code for a file the system cannot use as one; here: a link, pipe or device where a
// regular file was asked for.
inline constexpr int kErrNotAFile = 1920;
inline constexpr int kErrNegativeSeek = 131;
inline constexpr int kErrReadBeyondEnd = 100;
inline constexpr int kErrDiskFull = 101;
inline constexpr int kErrInvalidNumericInput = 106;

// The words for an I/O error code, held in this one table.
std::wstring InOutErrorText(int code);

// A name or path as messages give it: in single quotes.
inline std::wstring Quoted(const std::wstring& text) { return L"'" + text + L"'"; }

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& bytes);

}  // namespace vandrel
