// Opening thousands of damaged archives: each either opens consistently or is refused with a
// message, and the window is usable afterwards. Deterministic, so a failure repeats.
#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "archive/img_archive.h"
#include "tests/test_support.h"

namespace vandrel {
namespace {

using testing::Bytes;

class DamagedOpenFuzz : public testing::WindowTest {};

Bytes RandomArchive(std::mt19937& random) {
  std::uniform_int_distribution<int> lengths(0, 600), bytes(0, 255), pick(0, 3);
  Bytes data(static_cast<size_t>(lengths(random)));
  for (auto& b : data) b = static_cast<unsigned char>(bytes(random));
  if (data.size() >= 8 && pick(random) != 0) {
    data[0] = 'V', data[1] = 'E', data[2] = 'R', data[3] = '2';
    // Counts near the edges: small, negative, absurd.
    const int32_t counts[] = {0, 1, 5, 18, -1, INT32_MIN, INT32_MAX, 0x08000000};
    WriteInt32(counts[std::uniform_int_distribution<int>(0, 7)(random)], &data[4]);
  }
  return data;
}

TEST_F(DamagedOpenFuzz, EveryFileOpensConsistentlyOrIsRefused) {
  std::mt19937 random(20261208);
  std::wstring img = tmp.Path("fuzz.img");
  for (int round = 0; round < 1500; ++round) {
    testing::WriteBytes(img, RandomArchive(random));
    Bytes dir = RandomArchive(random);
    testing::WriteBytes(tmp.Path("fuzz.dir"), dir);
    size_t boxesBefore = sp.dialogs.messages().size();
    fm.Guarded([&] { fm.DoOpenArchive(img); });

    EXPECT_EQ(sp.window.cursor(), Cursor::Default);
    if (IMGArchive.bLoaded) {
      ASSERT_EQ(IMGArchive.Files.size(), static_cast<size_t>(IMGArchive.FileCount)) << round;
      ASSERT_EQ(sp.list.Count(), IMGArchive.FileCount) << round;
      for (int row = 0; row < sp.list.Count(); ++row) ASSERT_EQ(fm.GetFileIndex(row), row);
      EXPECT_EQ(sp.dialogs.messages().size(), boxesBefore);
    } else {
      ASSERT_EQ(sp.dialogs.messages().size(), boxesBefore + 1) << round;
      EXPECT_EQ(sp.list.Count(), 0);
    }
  }
}

}  // namespace
}  // namespace vandrel
