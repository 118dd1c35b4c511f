#pragma once
// Progress texts of the commands that work through many entries.
#include <string>

namespace vandrel {

// n of m as a whole percentage, a half going to the even neighbour.
int Percent(int n, int m);

// `prefix` n "/" m " (" percentage "%)".
std::wstring ProgressWithPercent(const std::wstring& prefix, int n, int m);

}  // namespace vandrel
