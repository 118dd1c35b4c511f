// A buffer of many sectors leaves on disk exactly what a copy of one sector at a time leaves,
// whichever file operation fails.
#include "ops/sector_copy.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ops/append.h"
#include "platform/errors.h"
#include "platform/scripted/faulty_file_system.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

using namespace testing;

using Copy = std::function<void(SectorBuffer&, IFile& source, IFile& target)>;

struct CopyCase {
  const char* name;
  Bytes targetBefore;
  Copy copy;
  Copy oneSectorAtATime;       // the same copy written plainly, as the reference
  bool systemRefuses = false;  // the system will not copy between the two files
};

void PrintTo(const CopyCase& copyCase, std::ostream* out) { *out << copyCase.name; }

// The plain forms: one exact 2048-byte read and one write per sector.
void PlainSectors(IFile& source, int64_t from, IFile& target, int64_t count) {
  unsigned char sector[2048];
  source.Seek(from);
  for (int64_t j = 0; j < count; ++j) {
    source.Read(sector, sizeof sector);
    target.Write(sector, sizeof sector);
  }
}

void PlainAppend(IFile& img, IFile& source, int64_t reservedEnd) {
  unsigned char sector[2048] = {};
  int64_t length = img.Length(), boundary = (length + 2047) / 2048;
  img.Seek(length);
  img.Write(sector, static_cast<size_t>(boundary * 2048 - length));
  for (int64_t gap = boundary; gap < (reservedEnd + 2047) / 2048; ++gap)
    img.Write(sector, sizeof sector);
  size_t got;
  do {
    got = source.ReadSome(sector, sizeof sector);
    img.Write(sector, got);
  } while (got == sizeof sector);
  if (got > 0) {
    std::fill(sector, sector + sizeof sector, 0);
    img.Write(sector, sizeof sector - got);
  }
}

class SectorCopyTest : public ::testing::TestWithParam<CopyCase> {
 protected:
  // Runs the copy with a buffer of `sectors` (0: the plain copy), failing the `failAt`th file
  // operation (0: none), and returns what the target holds afterwards.
  Bytes Outcome(int64_t sectors, int failAt) {
    WriteBytes(target, GetParam().targetBefore);
    scripted::FaultyFileSystem faulty(*native);
    faulty.FailAt(failAt, kErrDiskFull);
    if (GetParam().systemRefuses) faulty.RefuseSystemCopy();
    try {
      auto from = faulty.Open(source, FileMode::ReadOnly);
      auto to = faulty.Open(target, FileMode::ReadWrite);
      SectorBuffer buffer(std::max<int64_t>(sectors, 1));
      (sectors == 0 ? GetParam().oneSectorAtATime : GetParam().copy)(buffer, *from, *to);
      from->Close();
      to->Close();
    } catch (const InOutError&) {
    }
    operations = faulty.operations();
    return ReadBytes(target);
  }
  // Every state the plain copy can leave, failing anywhere or nowhere.
  std::vector<Bytes> PlainOutcomes() {
    std::vector<Bytes> outcomes = {Outcome(0, 0)};
    for (int k = 1, total = operations; k <= total; ++k) outcomes.push_back(Outcome(0, k));
    return outcomes;
  }

  TempDir tmp;
  std::unique_ptr<IFileSystem> native = MakeNativeFileSystem();
  std::wstring source = tmp.Path("source"), target = tmp.Path("target");
  int operations = 0;
};

TEST_P(SectorCopyTest, LargerBuffersLeaveOnlyWhatOneSectorAtATimeLeaves) {
  WriteBytes(source, Pattern(10 * 2048 + 700, 5));
  std::vector<Bytes> allowed = PlainOutcomes();
  auto isAllowed = [&](const Bytes& bytes) {
    return std::find(allowed.begin(), allowed.end(), bytes) != allowed.end();
  };
  for (int64_t sectors : {int64_t{1}, int64_t{3}, kCopyBufferSectors}) {
    EXPECT_EQ(Outcome(sectors, 0), Outcome(0, 0)) << sectors << " sectors";
    for (int k = 1, total = operations; k <= total; ++k)
      EXPECT_TRUE(isAllowed(Outcome(sectors, k))) << sectors << " sectors, operation " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Copies, SectorCopyTest,
    ::testing::Values(
        // Twelve sectors asked of a source of ten and a bit.
        CopyCase{"SectorsFromAShortSource",
                 {},
                 [](SectorBuffer& b, IFile& s, IFile& t) { b.CopySectors(s, 2048, t, 0, 12); },
                 [](SectorBuffer&, IFile& s, IFile& t) { PlainSectors(s, 2048, t, 12); }},
        // The same by the system's copy, and all that the source holds by positioned calls
        // where the system refuses; into a target already longer than the copy.
        CopyCase{"LongRunFromAShortSource", Pattern(30000, 8),
                 [](SectorBuffer& b, IFile& s, IFile& t) { b.CopyLongRun(s, 2048, t, 4096, 12); },
                 [](SectorBuffer&, IFile& s, IFile& t) {
                   t.Seek(4096);
                   PlainSectors(s, 2048, t, 12);
                 }},
        CopyCase{"LongRunRefusedByTheSystem", Pattern(30000, 8),
                 [](SectorBuffer& b, IFile& s, IFile& t) { b.CopyLongRun(s, 2048, t, 4096, 9); },
                 [](SectorBuffer&, IFile& s, IFile& t) {
                   t.Seek(4096);
                   PlainSectors(s, 2048, t, 9);
                 },
                 true},
        CopyCase{"AppendToAnUnevenFile", Pattern(3000, 6),
                 [](SectorBuffer& b, IFile& s, IFile& t) { AppendFile(t, t.Length(), s, 0, b); },
                 [](SectorBuffer&, IFile& s, IFile& t) { PlainAppend(t, s, 0); }},
        CopyCase{"AppendBehindADirectory", Pattern(100, 7),
                 [](SectorBuffer& b, IFile& s, IFile& t) { AppendFile(t, t.Length(), s, 5000, b); },
                 [](SectorBuffer&, IFile& s, IFile& t) { PlainAppend(t, s, 5000); }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vandrel
