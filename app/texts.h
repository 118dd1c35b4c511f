#pragma once
// Texts that more than one part of the program shows.
namespace vandrel::text {

// VANDREL_VERSION is the project's version, set in CMakeLists.txt.
inline constexpr wchar_t kAppTitle[] = L"Vandrel " VANDREL_VERSION;
// The maker's web domain (in the caption and on the About window's link), the web site the
// link opens, and the forum site named in the help prompt; all under a domain reserved for
// examples.
inline constexpr wchar_t kMakerDomain[] = L"quarrymoor.example";
inline constexpr wchar_t kMakerSiteAddress[] = L"http://www.quarrymoor.example/";
inline constexpr wchar_t kForumDomain[] = L"forum.quarrymoor.example";
inline constexpr wchar_t kOpenCaptionPrefix[] = L"Vandrel " VANDREL_VERSION L" - ";
inline constexpr wchar_t kErrorCaption[] = L"Error";
inline constexpr wchar_t kWarningCaption[] = L"Warning";
inline constexpr wchar_t kConfirmCaption[] = L"Confirm";
// After a quoted path: read into itself, the archive would grow until the disk is full.
inline constexpr wchar_t kArchivesOwnFile[] = L" is one of the archive's own files";
inline constexpr wchar_t kDirInUse[] = L"Dir file error! It might be in use.. exiting...";

}  // namespace vandrel::text
