#include "platform/paths.h"

namespace vandrel::paths {
namespace {

size_t AfterLastSeparator(const std::wstring& path) {
  size_t at = path.find_last_of(L"\\/:");
  return at == std::wstring::npos ? 0 : at + 1;
}

}  // namespace

std::wstring FileName(const std::wstring& path) { return path.substr(AfterLastSeparator(path)); }

std::wstring Folder(const std::wstring& path) { return path.substr(0, AfterLastSeparator(path)); }

}  // namespace vandrel::paths
