#pragma once
// Names an archive gives its entries come from whoever made the archive. An extracted file
// must land in the chosen folder and nowhere else: no folders, drives or streams in the name,
// and no name that Windows would take for a device.
#include <string>

namespace vandrel {

bool IsSafeOutputName(const std::wstring& name);

// The name as Windows tells files apart: trailing blanks and dots dropped, and every letter of
// the archive's code page, Latin or Cyrillic, in capitals. Two names of one key are one file.
std::wstring FileNameKey(const std::wstring& name);

}  // namespace vandrel
