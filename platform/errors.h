#pragma once
// Errors travel as exceptions carrying the text the user sees; one top-level handler shows them.
#include <exception>
#include <string>
#include <string_view>

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

// A failed file operation. The code is one of those below or one the platform's file layer
// gives a failure of the system's that the program has no text of its own for.
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

// The words for an I/O error code, held in this one table: the program's own for the codes it
// names, the system's with its number for any other.
std::wstring InOutErrorText(int code);

// What the system calls the failure behind a code the program has no text for: its own error
// number (errno, GetLastError) and its words for it, without a closing full stop (none when
// it has no words). Given by each platform's file layer, which knows how it numbers its codes.
struct SystemError {
  int number;
  std::wstring words;
};
SystemError DescribeSystemError(int code);

// A name or path as messages give it: in single quotes.
inline std::wstring Quoted(const std::wstring& text) { return L"'" + text + L"'"; }

std::string ToUtf8(const std::wstring& text);
// The same, onto the end of `out`: a list of a million names reuses one string.
void AppendUtf8(std::string& out, std::wstring_view text);
// Strict UTF-8: an overlong form (C0 AF is no "/"), a surrogate, a number above U+10FFFF, a
// sequence cut short or a stray byte is not UTF-8. FromUtf8 gives each such byte as U+FFFD,
// for texts that are only shown; a name that will be used must pass IsUtf8 first.
bool IsUtf8(const std::string& bytes);
std::wstring FromUtf8(const std::string& bytes);

}  // namespace vandrel
