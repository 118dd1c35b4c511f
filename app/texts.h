#pragma once
// Texts that more than one part of the program shows.
namespace vandrel::text {

inline constexpr wchar_t kAppTitle[] = L"Vandrel 2.0";
inline constexpr wchar_t kMakerDomain[] = L"quarrymoor.example";
inline constexpr wchar_t kOpenCaptionPrefix[] = L"Vandrel 2.0 - ";
inline constexpr wchar_t kErrorCaption[] = L"Error";

}  // namespace vandrel::text
