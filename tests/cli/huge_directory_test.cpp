// A damaged header, or a sparse directory file, claims hundreds of thousands of entries while
// the disk holds next to nothing. Listing and checking such an archive must cost memory in
// proportion to the directory the file is, not a multiple of it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/utf8.h"
#include "tests/cli/cli_fixture.h"

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer keeps freed memory aside, up to 256 MiB, to catch its late use; a listing
// frees a few small texts a row, and that would count as memory held. A small reserve keeps
// the measure on what the program holds, for every test of this program.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=4"; }
#endif

namespace vandrel {
namespace {

using namespace testing;
namespace fs = std::filesystem;

constexpr int32_t kClaimed = 1 << 18;
constexpr int64_t kDirectoryBytes = int64_t{kClaimed} * 32;
// Room for the allocator, the program's own needs and, with the sanitizers, their bookkeeping.
constexpr int64_t kSlackBytes = int64_t{10} << 20;

struct Claim {
  const char* name;
  Layout layout;
  int64_t fileLength;  // of the .img (version 2) or the .dir (version 1), nearly all a hole
  int32_t count;       // the version-2 header's
};

std::string Name(const ::testing::TestParamInfo<Claim>& info) { return info.param.name; }
void PrintTo(const Claim& claim, std::ostream* out) { *out << claim.name; }

int64_t StatusKb(const char* field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind(field, 0) == 0) return std::stoll(line.substr(std::string(field).size()));
  return -1;
}

bool CanResetPeak() {
  std::ofstream reset("/proc/self/clear_refs");
  reset << "5" << std::flush;
  return reset.good();
}

// The most resident memory `run` adds, measured in a child process of its own, so that
// nothing else the tests did counts.
int64_t PeakGrowthBytes(const std::function<void()>& run) {
  int channel[2];
  if (pipe(channel) != 0) return -1;
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    std::ofstream("/proc/self/clear_refs") << "5";
    const int64_t before = StatusKb("VmRSS:");
    run();
    const int64_t growth = (StatusKb("VmHWM:") - before) * 1024;
    (void)!write(channel[1], &growth, sizeof growth);
    _exit(0);
  }
  close(channel[1]);
  int64_t growth = -1;
  if (read(channel[0], &growth, sizeof growth) != sizeof growth) growth = -1;
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  return growth;
}

class HugeDirectory : public CliTest, public ::testing::WithParamInterface<Claim> {
 protected:
  void SetUp() override {
    if (!CanResetPeak()) GTEST_SKIP() << "the peak resident memory cannot be reset here";
    const Claim& claim = GetParam();
    img = Arg("huge.img");
    const std::string holey = claim.layout == Layout::V2 ? img : Arg("huge.dir");
    if (claim.layout == Layout::V2) {
      Bytes head = {'V', 'E', 'R', '2', 0, 0, 0, 0};
      WriteInt32(claim.count, &head[4]);
      WriteBytes(FromUtf8(img), head);
    } else {
      WriteBytes(FromUtf8(img), Pattern(2048, 1));
      WriteBytes(FromUtf8(holey), {});
    }
    fs::resize_file(holey, static_cast<uintmax_t>(claim.fileLength));
  }
  std::string img;
};

TEST_P(HugeDirectory, ListAndCheckTakeMemoryAsTheFileHoldsNotAsTheCountClaims) {
  const int64_t directory = std::min(GetParam().fileLength, kDirectoryBytes);
  for (const char* command : {"list", "check"}) {
    const int64_t growth = PeakGrowthBytes([&] {
      std::ostream nowhere(nullptr);
      std::ostringstream errors;
      cli::RunCli({command, img}, nowhere, errors, false, *files);
    });
    ASSERT_GE(growth, 0) << command;
    EXPECT_LE(growth, 3 * directory + kSlackBytes) << command << ": " << growth << " bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(Claims, HugeDirectory,
                         ::testing::Values(
                             // A header whose count the file's length holds, every record a zero.
                             Claim{"HeaderThatFits", Layout::V2, 8 + kDirectoryBytes, kClaimed},
                             // A count far beyond the file's length, which holds a few sectors.
                             Claim{"HeaderBeyondTheFile", Layout::V2, 4 * 2048, INT32_MAX},
                             // A .dir of as many zero records.
                             Claim{"SparseDirFile", Layout::V1, kDirectoryBytes, 0}),
                         Name);

}  // namespace
}  // namespace vandrel
