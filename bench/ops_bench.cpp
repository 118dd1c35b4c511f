// Times Extract, Add and Replace against `cp` of the same bytes, in one run, on a version-2
// archive of 1 GiB and 16,000 entries; first sweeps the copy buffer's size over the same
// extraction. Needs about 4 GiB free in the temporary folder; cleans up after itself.
// Run by hand: build/tests/ops_bench
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "app/options.h"
#include "archive/img_archive.h"
#include "ops/sector_copy.h"
#include "platform/errors.h"
#include "platform/utf8.h"
#include "tests/test_support.h"

using namespace vandrel;
namespace support = vandrel::testing;
namespace fs = std::filesystem;
using support::Bytes;

namespace {

constexpr int kEntries = 16000;
constexpr int kAdded = 1000;
constexpr int32_t kBigSectors = 5120;  // the 10 MiB entry
constexpr int kRuns = 5;

double Seconds(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Task {
  std::function<void()> prepare, work;
};

// Untimed preparation, with the dirty pages of earlier work written out first so that they
// do not land on the timed run.
void Prepare(const Task& task) {
  task.prepare();
  ::sync();
}

// The best of a few runs of each, taken in turns so both see the same machine.
std::pair<double, double> Race(const Task& ours, const Task& theirs) {
  std::pair<double, double> best{1e9, 1e9};
  for (int run = 0; run < kRuns; ++run) {
    Prepare(ours);
    best.first = std::min(best.first, Seconds(ours.work));
    Prepare(theirs);
    best.second = std::min(best.second, Seconds(theirs.work));
  }
  return best;
}

// Runs the words as one shell command; paths come quoted, the rest (a glob) is left alone.
void Shell(std::initializer_list<std::string> words) {
  std::string command;
  for (const auto& word : words) command.append(command.empty() ? "" : " ").append(word);
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

std::string Quoted(const fs::path& path) {
  std::string quoted(1, '\'');
  return quoted.append(path.string()).append(1, '\'');
}

void WriteRandom(std::ofstream& out, int64_t bytes, std::mt19937_64& random) {
  std::vector<uint64_t> block(8192);
  while (bytes > 0) {
    for (auto& word : block) word = random();
    int64_t part = std::min<int64_t>(bytes, int64_t(block.size() * 8));
    out.write(reinterpret_cast<const char*>(block.data()), part);
    bytes -= part;
  }
}

// Entry 0 is the 10 MiB one; the rest have 1 to 64 sectors, about 1 GiB in all. The directory
// has room for the added entries, so adding moves nothing.
std::vector<support::EntryRecord> MakeArchive(const fs::path& path) {
  std::mt19937_64 random(42);
  const int32_t firstData = (8 + 32 * (kEntries + kAdded) + 2047) / 2048 + 1;
  std::vector<support::EntryRecord> records;
  int32_t sector = firstData;
  for (int i = 0; i < kEntries; ++i) {
    int32_t size = i == 0 ? kBigSectors : int32_t(1 + random() % 64);
    char name[24];
    std::snprintf(name, sizeof name, "e%05d.dat", i);
    records.push_back({name, sector, size});
    sector += size;
  }
  Bytes head(size_t(firstData) * 2048);
  TIMGHeader header;
  header.FileCount = kEntries;
  EncodeHeader(header, head.data());
  Bytes directory = support::EncodeDirectory(records);
  std::copy(directory.begin(), directory.end(), head.begin() + 8);
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(head.data()), std::streamsize(head.size()));
  WriteRandom(out, int64_t(sector - firstData) * 2048, random);
  return records;
}

std::vector<std::wstring> MakeSources(const fs::path& folder) {
  std::mt19937_64 random(7);
  fs::create_directories(folder);
  std::vector<std::wstring> paths;
  for (int i = 0; i < kAdded; ++i) {
    // Mostly small models and textures, now and then a large one.
    int64_t bytes =
        random() % 10 == 0 ? int64_t(random() % (2 << 20)) : int64_t(random() % (128 << 10));
    char name[24];
    std::snprintf(name, sizeof name, "s%04d.dff", i);
    fs::path path = folder / name;
    std::ofstream out(path, std::ios::binary);
    WriteRandom(out, bytes, random);
    paths.push_back(FromUtf8(path.string()));
  }
  return paths;
}

int64_t FolderBytes(const fs::path& folder) {
  int64_t total = 0;
  for (auto& entry : fs::directory_iterator(folder)) total += int64_t(entry.file_size());
  return total;
}

// Extracts every entry straight through a buffer of `sectors`, as the command does.
void ExtractWithBuffer(IFileSystem& files, const std::wstring& img, const fs::path& out,
                       int64_t sectors) {
  SectorBuffer buffer(sectors);
  for (const auto& entry : IMGArchive.Files) {
    auto from = files.Open(img, FileMode::ReadOnly);
    auto to = files.Open(FromUtf8((out / NameBytes(entry)).string()), FileMode::Create);
    buffer.CopySectors(*from, entry.Offset * kSectorSize, *to, 0, entry.Size);
    from->Close();
    to->Close();
  }
}

void Report(const char* what, double ours, double cp, int64_t bytes) {
  std::printf("%-34s %8.3f s %8.3f s   %5.2fx   %7.0f MB/s\n", what, ours, cp, ours / cp,
              bytes / ours / 1e6);
}

}  // namespace

int main() {
  support::TempDir dir;
  const fs::path root = dir.root();
  std::printf("working in %s\n", root.string().c_str());
  const fs::path img = root / "big.img", out = root / "out", copy = root / "copy";
  const std::wstring imgText = FromUtf8(img.string());
  MakeArchive(img);
  std::vector<std::wstring> sources = MakeSources(root / "src");
  Bytes replacement = support::Pattern(size_t(kBigSectors) * 2048, 3);
  support::WriteBytes(FromUtf8((root / "replacement.dat").string()), replacement);

  scripted::ScriptedPlatform sp;
  Platform platform = sp.platform();
  TfmMain fm(platform);
  Options = {};
  fm.DoOpenArchive(imgText);
  std::vector<int> all(size_t(sp.list.Count()));
  for (size_t i = 0; i < all.size(); ++i) all[i] = int(i);
  auto fresh = [](const fs::path& folder) {
    fs::remove_all(folder);
    fs::create_directories(folder);
  };

  std::printf("\nbuffer sweep: extracting all %d entries\n", kEntries);
  // Sizes in turns, so that the machine's moods fall on all of them alike.
  const std::vector<int64_t> sizes = {1, 4, 16, 32, 64, 128, 512};
  std::vector<double> best(sizes.size(), 1e9);
  for (int run = 0; run < kRuns; ++run)
    for (size_t i = 0; i < sizes.size(); ++i) {
      Prepare({[&] { fresh(out); }, {}});
      best[i] =
          std::min(best[i], Seconds([&] { ExtractWithBuffer(*sp.files, imgText, out, sizes[i]); }));
    }
  for (size_t i = 0; i < sizes.size(); ++i)
    std::printf("  %4lld sectors (%6lld KiB)  %7.3f s\n", static_cast<long long>(sizes[i]),
                static_cast<long long>(sizes[i] * 2), best[i]);
  std::printf("\n%-34s %10s %10s %8s %12s\n", "", "ours", "cp", "ratio", "ours");

  Task extractAll{[&] {
                    fresh(out);
                    sp.list.UserSelect(all, 0);
                    sp.dialogs.folderAnswers.push_back(FromUtf8(out.string()));
                  },
                  [&] { fm.ExtractFiles(); }};
  Task copyAll{[&] { fs::remove_all(copy); },
               [&] {
                 Shell({"cp", "-r", Quoted(out), Quoted(copy)});
               }};
  auto [extract, cpExtract] = Race(extractAll, copyAll);
  const int64_t extracted = FolderBytes(out);
  Report("extract 16,000 entries (1 GiB)", extract, cpExtract, extracted);
  fs::remove_all(out);
  fs::remove_all(copy);

  const Bytes directory = [&] {
    std::ifstream in(img, std::ios::binary);
    Bytes head(size_t(IMGArchive.Files[1].Offset) * 2048);
    in.read(reinterpret_cast<char*>(head.data()), std::streamsize(head.size()));
    return head;
  }();
  const auto imgLength = fs::file_size(img);
  Task addAll{[&] {
                // Back to the archive as made: its length and its directory.
                fs::resize_file(img, imgLength);
                std::fstream io(img, std::ios::binary | std::ios::in | std::ios::out);
                io.write(reinterpret_cast<const char*>(directory.data()),
                         std::streamsize(directory.size()));
                io.close();
                fm.DoOpenArchive(imgText);
                sp.dialogs.openFileAnswers.push_back(sources);
              },
              [&] { fm.AddFiles(); }};
  Task copySources{[&] { fresh(copy); },
                   [&] {
                     Shell({"cp", Quoted(root / "src") + "/*", Quoted(copy)});
                   }};
  auto [add, cpAdd] = Race(addAll, copySources);
  if (IMGArchive.FileCount != kEntries + kAdded) std::fprintf(stderr, "add failed\n");
  const int64_t addedBytes = FolderBytes(root / "src");
  Report("add 1,000 files", add, cpAdd, addedBytes);
  fs::remove_all(copy);

  const std::wstring replacementText = FromUtf8((root / "replacement.dat").string());
  auto [replace, cpReplace] =
      Race({[&] {
              sp.list.UserSelect({0}, 0);
              sp.dialogs.openFileAnswers.push_back(std::vector<std::wstring>{replacementText});
            },
            [&] { fm.ReplaceFile(); }},
           {[&] { fs::remove(root / "copy.dat"); },
            [&] {
              Shell({"cp", Quoted(root / "replacement.dat"), Quoted(root / "copy.dat")});
            }});
  Report("replace a 10 MiB entry in place", replace, cpReplace, int64_t(replacement.size()));
  if (!sp.dialogs.messages().empty()) std::fprintf(stderr, "an error was shown\n");
  return 0;
}
