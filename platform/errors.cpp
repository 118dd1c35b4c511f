#include "platform/errors.h"

#include <string>

#include "platform/utf8.h"

namespace vandrel {

AppError::AppError(std::wstring message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

InOutError::InOutError(int code) : AppError(InOutErrorText(code)), code_(code) {}

std::wstring InOutErrorText(int code) {
  switch (code) {
    case kErrFileNotFound:
      return L"File not found";
    case kErrInvalidFilename:
      return L"Invalid filename";
    case kErrTooManyOpenFiles:
      return L"Too many open files";
    case kErrAccessDenied:
      return L"File access denied";
    case kErrReadBeyondEnd:
      return L"Read beyond end of file";
    case kErrDiskFull:
      return L"Disk full";
    case kErrInvalidNumericInput:
      return L"Invalid numeric input";
    case kErrNotAFile:
      return L"Not a regular file";
    default:
      break;
  }
  const SystemError system = DescribeSystemError(code);
  std::wstring text = L"I/O error " + std::to_wstring(system.number);
  if (!system.words.empty()) text += L": " + system.words;
  return text;
}

}  // namespace vandrel
