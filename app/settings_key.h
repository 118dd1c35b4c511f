#pragma once
// Where the settings live below HKEY_CURRENT_USER, and the names of their values.
namespace vandrel::settings_key {

inline constexpr wchar_t kPath[] = L"\\SOFTWARE\\Quarrymoor\\Vandrel\\";

inline constexpr wchar_t kShowSplash[] = L"bShowSplash";
inline constexpr wchar_t kLocation[] = L"Location";
inline constexpr wchar_t kVersion[] = L"Version";
inline constexpr wchar_t kLastOpenDir[] = L"LastOpenDir";
inline constexpr wchar_t kLastFileDir[] = L"LastFileDir";
inline constexpr wchar_t kLastFindStr[] = L"LastFindStr";
inline constexpr wchar_t kSortType[] = L"SortType";
inline constexpr wchar_t kWarningShown[] = L"bWarningShown";
inline constexpr wchar_t kAssocIMG[] = L"bAssocIMG";

}  // namespace vandrel::settings_key
