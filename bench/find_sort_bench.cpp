// Times Find Next and switching the list's order through the scripted platform. Run by hand:
// build/tests/find_sort_bench
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "app/options.h"
#include "archive/img_archive.h"
#include "tests/test_support.h"

using namespace vandrel;

namespace {

// Names in no particular order; only the last entry holds the text searched for.
void LoadEntries(int count) {
  IMGArchive = {};
  for (int i = 0; i < count; ++i) {
    unsigned scrambled = static_cast<unsigned>(i) * 2654435761u;
    std::string name =
        i == count - 1 ? "needle.txd" : "model" + std::to_string(scrambled % 100000) + ".dff";
    IMGArchive.Files.push_back(vandrel::testing::MakeEntry({name, 100 + i, 1}));
  }
  IMGArchive.FileCount = count;
  IMGArchive.bLoaded = true;
}

double MedianMs(const std::function<void()>& prepare, const std::function<void()>& timed) {
  std::vector<double> runs;
  for (int run = 0; run < 7; ++run) {
    prepare();
    auto start = std::chrono::steady_clock::now();
    timed();
    runs.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(runs.begin(), runs.end());
  return runs[runs.size() / 2];
}

}  // namespace

int main() {
  scripted::ScriptedPlatform sp;
  Platform platform = sp.platform();
  TfmMain fm(platform);

  for (int count : {16000, 100000}) {
    LoadEntries(count);
    Options = {};
    auto directoryOrder = [&] {
      Options.SortType = kSortByDirectory;
      fm.UpdateDisplay();
    };
    auto nameOrder = [&] {
      Options.SortType = kSortByName;
      fm.UpdateDisplay();
    };
    std::printf("%d entries\n", count);
    std::printf("  Find Next, match on the last row  %8.1f ms\n",
                MedianMs(directoryOrder, [&] { fm.DoFind(true, L"NEEDLE"); }));
    std::printf("  Find Next, no match               %8.1f ms\n",
                MedianMs(directoryOrder, [&] { fm.DoFind(true, L"absent"); }));
    std::printf("  sort: directory -> name order     %8.1f ms\n",
                MedianMs(directoryOrder, [&] { fm.SortClick(2); }));
    std::printf("  sort: name -> directory order     %8.1f ms\n",
                MedianMs(nameOrder, [&] { fm.SortClick(1); }));
  }
  IMGArchive = {};
}
