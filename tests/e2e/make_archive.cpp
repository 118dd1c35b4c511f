// Writes an archive of numbered entries with their data:
//   vandrel_make_archive PATH.img COUNT [v1|v2]   (version 2 unless told otherwise)
#include <cstdio>
#include <cwchar>
#include <string>

#include "tests/e2e/test_archives.h"

int wmain(int argc, wchar_t** argv) {
  using namespace vandrel::e2e;
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: %ls PATH.img COUNT [v1|v2]\n", argv[0]);
    return 2;
  }
  std::wstring path = argv[1];
  int count = std::wcstol(argv[2], nullptr, 10);
  bool version1 = argc > 3 && std::wstring(argv[3]) == L"v1";
  if (version1)
    WriteV1(path, NumberedEntries(count, 0));
  else
    WriteV2(path, NumberedEntries(count, DirectoryEndSectorV2(count)));
  return 0;
}
