#include "platform/utf8.h"

namespace vandrel {

std::string ToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(out, text);
  return out;
}

// wchar_t is UTF-16 on Windows and UTF-32 elsewhere; both are handled.
void AppendUtf8(std::string& out, std::wstring_view text) {
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
}

namespace {

// Takes the character at `i` and moves past it. Bytes that are no UTF-8 give U+FFFD and false,
// and only their first byte is taken, so decoding starts again at the next.
bool TakeCharacter(const std::string& bytes, size_t& i, char32_t& c) {
  const unsigned char lead = static_cast<unsigned char>(bytes[i]);
  size_t extra;
  char32_t least;
  if (lead < 0x80) {
    c = lead, ++i;
    return true;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    c = lead & 0x1F, extra = 1, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    c = lead & 0x0F, extra = 2, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    c = lead & 0x07, extra = 3, least = 0x10000;
  } else {
    c = 0xFFFD, ++i;
    return false;
  }
  for (size_t k = 1; k <= extra; ++k) {
    const unsigned char next = i + k < bytes.size() ? static_cast<unsigned char>(bytes[i + k]) : 0;
    if ((next & 0xC0) != 0x80) {
      c = 0xFFFD, ++i;
      return false;
    }
    c = (c << 6) | (next & 0x3F);
  }
  if (c < least || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) {
    c = 0xFFFD, ++i;
    return false;
  }
  i += extra + 1;
  return true;
}

}  // namespace

bool IsUtf8(const std::string& bytes) {
  char32_t c;
  for (size_t i = 0; i < bytes.size();)
    if (!TakeCharacter(bytes, i, c)) return false;
  return true;
}

std::wstring FromUtf8(const std::string& bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  char32_t c;
  for (size_t i = 0; i < bytes.size();) {
    TakeCharacter(bytes, i, c);
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
