#pragma once
// Texts as UTF-8 bytes, for the terminal, the command line's arguments and reports, and the
// messages exceptions carry in what().
#include <string>
#include <string_view>

namespace vandrel {

std::string ToUtf8(const std::wstring& text);
// The same, onto the end of `out`: a list of a million names reuses one string.
void AppendUtf8(std::string& out, std::wstring_view text);
// Strict UTF-8: an overlong form (C0 AF is no "/"), a surrogate, a number above U+10FFFF, a
// sequence cut short or a stray byte is not UTF-8. FromUtf8 gives each such byte as U+FFFD,
// for texts that are only shown; a name that will be used must pass IsUtf8 first.
bool IsUtf8(const std::string& bytes);
std::wstring FromUtf8(const std::string& bytes);

}  // namespace vandrel
