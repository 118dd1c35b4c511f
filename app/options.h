#pragma once
// The settings held in memory; loaded at start, saved at exit.
#include <cstdint>
#include <string>

namespace vandrel {

struct TOptions {
  bool bAssocIMG = false;
  bool bShowSplash = false;
  uint8_t SortType = 0;  // 0 directory order, 1 by name
  std::wstring LastFileDir;
  std::wstring LastOpenDir;
  std::wstring LastFindStr;
};

extern TOptions Options;

inline constexpr uint8_t kSortByDirectory = 0;
inline constexpr uint8_t kSortByName = 1;

}  // namespace vandrel
