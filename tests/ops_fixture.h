#pragma once
// Shared pieces of the editing-command tests: archives of either layout built from named data,
// a second main window whose file system fails on request, and a check of every entry's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "app/options.h"
#include "archive/img_archive.h"
#include "platform/errors.h"
#include "platform/scripted/faulty_file_system.h"
#include "platform/utf8.h"
#include "tests/test_support.h"

namespace vandrel::testing {

enum class Layout { V1, V2 };

inline std::string LayoutName(const ::testing::TestParamInfo<Layout>& info) {
  return info.param == Layout::V1 ? "V1" : "V2";
}

struct Item {
  std::string name;
  Bytes data;
};

inline std::string Numbered(std::string prefix, int number) {
  prefix += std::to_string(number);
  return prefix;
}

inline int32_t SectorsOf(size_t bytes) { return static_cast<int32_t>((bytes + 2047) / 2048); }

// The area an entry of `data` occupies: the data, then zero bytes to the sector's end.
inline Bytes Padded(Bytes data, int32_t sectors = -1) {
  data.resize(static_cast<size_t>((sectors < 0 ? SectorsOf(data.size()) : sectors) * 2048));
  return data;
}

// An archive whose entries' data lie back to back from `firstSector` (version 2: sector 1 unless
// told otherwise, right behind a directory of up to 63 entries).
inline std::wstring BuildArchive(const TempDir& dir, Layout layout, const std::vector<Item>& items,
                                 int32_t firstSector = -1) {
  int32_t sector = firstSector >= 0 ? firstSector : layout == Layout::V2 ? 1 : 0;
  Bytes img(static_cast<size_t>(sector) * 2048);
  std::vector<EntryRecord> records;
  for (const auto& item : items) {
    records.push_back({item.name, sector, SectorsOf(item.data.size())});
    Bytes area = Padded(item.data);
    img.insert(img.end(), area.begin(), area.end());
    sector += SectorsOf(item.data.size());
  }
  return layout == Layout::V1 ? MakeV1(dir, "test", records, img)
                              : MakeV2(dir, "test.img", records, img);
}

inline Bytes Slice(const Bytes& bytes, int64_t from, int64_t count) {
  from = std::clamp<int64_t>(from, 0, static_cast<int64_t>(bytes.size()));
  count = std::min<int64_t>(count, static_cast<int64_t>(bytes.size()) - from);
  return Bytes(bytes.begin() + from, bytes.begin() + from + count);
}

// What an entry must hold after a command: its name, and its area's bytes.
struct Expected {
  std::string name;
  Bytes area;
};

class OpsTest : public WindowTest {
 protected:
  OpsTest() {
    // What the user sees is what the status bar holds when the window repaints.
    sp.window.onProcessMessages = [this] {
      busyWhilePumping.push_back(!sp.list.enabled());
      seenWhilePumping.push_back(sp.statusBar.Text(0));
      sp.system.ticks += clockPerPump;
    };
  }

  void Open(const std::wstring& path) {
    fm.Guarded([&] { fm.DoOpenArchive(path); });
  }
  void Run(void (TfmMain::*command)()) {
    fm.Guarded([&] { (fm.*command)(); });
  }
  void RunFaulty(void (TfmMain::*command)()) {
    faultyFm.Guarded([&] { (faultyFm.*command)(); });
  }
  std::wstring LastBox() const {
    return sp.dialogs.messages().empty() ? L"" : sp.dialogs.messages().back().text;
  }
  // Error boxes shown so far; questions do not count.
  size_t ErrorBoxes() const {
    const auto& shown = sp.dialogs.messages();
    return static_cast<size_t>(std::count_if(shown.begin(), shown.end(), [](const auto& box) {
      return box.kind == MessageKind::Error;
    }));
  }
  bool Busy() const { return !sp.list.enabled() || sp.window.cursor() == Cursor::Hourglass; }

  // Reopens the archive and checks every entry's name and the bytes of its area.
  void ExpectArchive(const std::wstring& img, const std::vector<Expected>& entries) {
    Open(img);
    ASSERT_TRUE(IMGArchive.bLoaded) << ToUtf8(LastBox());
    ASSERT_EQ(IMGArchive.FileCount, static_cast<int32_t>(entries.size()));
    Bytes bytes = ReadBytes(img);
    for (size_t i = 0; i < entries.size(); ++i) {
      const TIMGFileEntry& entry = IMGArchive.Files[i];
      EXPECT_EQ(NameBytes(entry), entries[i].name) << "entry " << i;
      EXPECT_EQ(int64_t{entry.Size} * 2048, static_cast<int64_t>(entries[i].area.size()))
          << "entry " << i;
      EXPECT_EQ(Slice(bytes, int64_t{entry.Offset} * 2048, int64_t{entry.Size} * 2048),
                entries[i].area)
          << "entry " << i;
    }
    ExpectNoOverlap();
  }

  // No two entries share a sector, and none reaches into a version-2 directory.
  void ExpectNoOverlap() {
    const auto& files = IMGArchive.Files;
    int64_t directoryEnd = IMGArchive.bVersion2 ? 8 + 32 * int64_t{IMGArchive.FileCount} : 0;
    for (size_t i = 0; i < files.size(); ++i) {
      EXPECT_GE(int64_t{files[i].Offset} * 2048, directoryEnd) << "entry " << i;
      if (files[i].Size <= 0) continue;
      for (size_t j = 0; j < i; ++j) {
        if (files[j].Size <= 0) continue;
        EXPECT_TRUE(files[i].Offset >= files[j].Offset + files[j].Size ||
                    files[j].Offset >= files[i].Offset + files[i].Size)
            << "entries " << j << " and " << i;
      }
    }
  }

  std::vector<Expected> Entries(const std::vector<Item>& items) {
    std::vector<Expected> out;
    for (const auto& item : items) out.push_back({item.name, Padded(item.data)});
    return out;
  }

  std::wstring Source(const std::string& name, const Bytes& data) {
    std::wstring path = tmp.Path(name);
    WriteBytes(path, data);
    return path;
  }

  // Every file in the test's folder, with its bytes, but the archive's own and those in the
  // output folder: what a command must leave alone.
  std::map<std::string, Bytes> FilesBesides(const std::wstring& img, const std::wstring& output) {
    const std::filesystem::path archive = ToUtf8(img), outFolder = ToUtf8(output);
    const std::filesystem::path dir = ToUtf8(DirPathFor(img));
    std::map<std::string, Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tmp.root())) {
      const std::filesystem::path& path = entry.path();
      if (entry.is_directory() || path == archive || path == dir || path.parent_path() == outFolder)
        continue;
      files[path.string()] = ReadBytes(FromUtf8(path.string()));
    }
    return files;
  }

  // The archive `img`, a single file, holding `bytes` again, and opened.
  void Reopen(const std::wstring& img, const Bytes& bytes) {
    WriteBytes(img, bytes);
    Open(img);
  }
  // The test's folder holding just these files, as a snapshot of it had them.
  void PutBack(const Files& files) {
    for (const auto& entry : std::filesystem::directory_iterator(tmp.root()))
      if (!entry.is_directory()) std::filesystem::remove(entry.path());
    for (const auto& [name, bytes] : files) WriteBytes(tmp.Path(name), bytes);
  }

  // The record in memory and the list are those of the archive on disk, opened again.
  void ExpectMemoryMatchesDisk(const std::wstring& img) {
    const TIMGArchive inMemory = IMGArchive;
    const std::vector<std::wstring> rows = sp.list.rows();
    Open(img);
    ASSERT_EQ(inMemory.FileCount, IMGArchive.FileCount);
    ASSERT_EQ(inMemory.Files.size(), IMGArchive.Files.size());
    for (size_t i = 0; i < inMemory.Files.size(); ++i) {
      EXPECT_EQ(inMemory.Files[i].Offset, IMGArchive.Files[i].Offset) << "entry " << i;
      EXPECT_EQ(inMemory.Files[i].Size, IMGArchive.Files[i].Size) << "entry " << i;
      EXPECT_EQ(inMemory.Files[i].Name, IMGArchive.Files[i].Name) << "entry " << i;
    }
    EXPECT_EQ(rows, sp.list.rows());
  }

  // How many file operations `run` makes through the faulty file system.
  int OperationsOf(const std::function<void()>& run) {
    const int start = faulty.operations();
    run();
    return faulty.operations() - start;
  }
  // The fault tests' sweep of a command of `operations` file operations: for each code and each
  // k, `prepare` puts the files back and sets the answers, the k-th operation from there on
  // fails with the code, and `runAndCheck` runs the command and looks at what it left. Every
  // failure names k and the code.
  void FailEachOperation(int operations, std::initializer_list<int> codes,
                         const std::function<void()>& prepare,
                         const std::function<void()>& runAndCheck) {
    for (int code : codes)
      EachOperation(
          operations, "failing with " + ToUtf8(InOutErrorText(code)), prepare,
          [&](int at) { faulty.FailAt(at, code); }, runAndCheck);
  }
  // The same with the process dying right after the k-th operation, where `atDeath` sees the
  // files as they are at that moment.
  void DieAfterEachOperation(int operations, const std::function<void()>& prepare,
                             const std::function<void()>& atDeath,
                             const std::function<void()>& runAndCheck) {
    EachOperation(
        operations, "the process dying after it", prepare,
        [&](int at) { faulty.DieAfter(at, atDeath); }, runAndCheck);
  }

  static void MakeReadOnly(const std::wstring& path) {
    std::filesystem::permissions(ToUtf8(path), std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::group_read |
                                                   std::filesystem::perms::others_read);
  }

  std::vector<bool> busyWhilePumping;
  std::vector<std::wstring> seenWhilePumping;
  // How far the clock moves while the window repaints. It stands still unless told, so a
  // command of quick steps shows only its first and last count.
  uint32_t clockPerPump = 0;
  scripted::FaultyFileSystem faulty{*sp.nativeFiles};
  Platform faultyPlatform{sp.platformWith(faulty)};
  TfmMain faultyFm{faultyPlatform};

 private:
  void EachOperation(int operations, const std::string& fault, const std::function<void()>& prepare,
                     const std::function<void(int at)>& arm,
                     const std::function<void()>& runAndCheck) {
    for (int k = 1; k <= operations; ++k) {
      SCOPED_TRACE("operation " + std::to_string(k) + ": " + fault);
      prepare();
      arm(faulty.operations() + k);
      runAndCheck();
    }
  }
};

}  // namespace vandrel::testing
