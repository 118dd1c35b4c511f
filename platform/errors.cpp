#include "platform/errors.h"

#include <string>

namespace vandrel {

AppError::AppError(std::wstring message) : message_(std::move(message)), utf8_(ToUtf8(message_)) {}

InOutError::InOutError(int code) : AppError(InOutErrorText(code)), code_(code) {}

std::wstring InOutErrorText(int code) {
  switch (code) {
    case kErrFileNotFound: return L"File not found";
    case kErrInvalidFilename: return L"Invalid filename";
    case kErrTooManyOpenFiles: return L"Too many open files";
    case kErrAccessDenied: return L"File access denied";
    case kErrReadBeyondEnd: return L"Read beyond end of file";
    case kErrDiskFull: return L"Disk full";
    case kErrInvalidNumericInput: return L"Invalid numeric input";
    case kErrNotAFile: return L"Not a regular file";
    default: return L"I/O error " + std::to_wstring(code);
  }
}

// wchar_t is UTF-16 on Windows and UTF-32 elsewhere; both are handled.
std::string ToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = static_cast<char32_t>(text[i]);
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size()) {
        char32_t low = static_cast<char32_t>(text[i + 1]);
        if (low >= 0xDC00 && low < 0xE000) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          ++i;
        }
      }
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::wstring FromUtf8(const std::string& bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size();) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    char32_t c;
    size_t extra;
    if (b < 0x80) {
      c = b, extra = 0;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F, extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F, extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07, extra = 3;
    } else {
      c = 0xFFFD, extra = 0;
    }
    ++i;
    for (size_t k = 0; k < extra && i < bytes.size(); ++k, ++i) c = (c << 6) | (bytes[i] & 0x3F);
    if constexpr (sizeof(wchar_t) == 2) {
      if (c >= 0x10000) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
        continue;
      }
    }
    out += static_cast<wchar_t>(c);
  }
  return out;
}

}  // namespace vandrel
