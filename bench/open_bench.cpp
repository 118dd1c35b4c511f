// Times opening an archive and filling the list through the scripted platform, for both
// layouts and both orders. Run by hand: build/tests/open_bench
#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/options.h"
#include "archive/img_archive.h"
#include "tests/test_support.h"

using namespace vandrel;
namespace support = vandrel::testing;
using support::Bytes;

namespace {

std::vector<support::EntryRecord> Entries(int count) {
  std::vector<support::EntryRecord> entries(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    // Names in no particular order, so the name sort has work to do.
    unsigned scrambled = static_cast<unsigned>(i) * 2654435761u;
    entries[i] = {"model" + std::to_string(scrambled % 100000) + ".dff", 100 + i, 1};
  }
  return entries;
}

double MedianOpenMs(const std::wstring& path, uint8_t sort) {
  std::vector<double> runs;
  for (int run = 0; run < 5; ++run) {
    scripted::ScriptedPlatform sp;
    Platform platform = sp.platform();
    TfmMain fm(platform);
    Options = {};
    Options.SortType = sort;
    auto start = std::chrono::steady_clock::now();
    fm.DoOpenArchive(path);
    runs.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
    if (!IMGArchive.bLoaded) std::fprintf(stderr, "open failed\n");
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

}  // namespace

int main() {
  support::TempDir dir;
  std::printf("%-10s %-8s %14s %14s\n", "entries", "layout", "directory ms", "by name ms");
  for (int count : {16000, 100000}) {
    auto entries = Entries(count);
    std::wstring v1 = support::MakeV1(dir, "v1_" + std::to_string(count), entries, Bytes(2048));
    std::wstring v2 =
        support::MakeV2(dir, "v2_" + std::to_string(count) + ".img", entries, Bytes());
    for (auto [name, path] : {std::pair{"v1", v1}, std::pair{"v2", v2}})
      std::printf("%-10d %-8s %14.1f %14.1f\n", count, name, MedianOpenMs(path, kSortByDirectory),
                  MedianOpenMs(path, kSortByName));
  }
}
