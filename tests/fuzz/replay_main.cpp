// Runs a fuzz target over saved inputs without libFuzzer, so any compiler's build replays the
// committed corpus in the ordinary test run. Each argument is an input file or a folder of them.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  std::vector<fs::path> inputs;
  for (int i = 1; i < argc; ++i) {
    if (fs::is_directory(argv[i]))
      for (const auto& entry : fs::directory_iterator(argv[i])) inputs.push_back(entry.path());
    else
      inputs.emplace_back(argv[i]);
  }
  std::sort(inputs.begin(), inputs.end());
  for (const auto& input : inputs) {
    std::ifstream in(input, std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "cannot read %s\n", input.c_str());
      return 1;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  // An empty run means a wrong path, not a clean corpus.
  return inputs.empty() ? 1 : 0;
}
