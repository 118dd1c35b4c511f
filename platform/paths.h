#pragma once
// Path texts as Windows writes them; "/" is accepted beside "\" as a folder separator.
#include <string>

namespace vandrel::paths {

// The file name without its folder.
std::wstring FileName(const std::wstring& path);
// The folder with its trailing separator; empty when the path has no folder.
std::wstring Folder(const std::wstring& path);

}  // namespace vandrel::paths
