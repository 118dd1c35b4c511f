// Writes the benchmarks' data: archives shaped like a San Andreas model archive, or of many
// small entries, and loose files to add.
//
//   make_bench_data archive OUT.img --layout 1|2 --entries N --bytes B [--holes P] [--big B]
//                   [--sparse]
//   make_bench_data files FOLDER --count N --bytes B [--prefix P]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "archive/img_format.h"
#include "platform/utf8.h"

namespace {

using namespace vandrel;

// Random bytes, made once; entries take slices of them at varying places.
class Filler {
 public:
  Filler() : bytes_(kSize) {
    std::mt19937_64 random(1);
    for (auto& b : bytes_) b = static_cast<char>(random());
  }
  void Write(std::ofstream& out, int64_t count, uint64_t seed) {
    size_t at = static_cast<size_t>(seed * 7919 % (kSize / 2));
    while (count > 0) {
      const auto part = static_cast<size_t>(std::min<int64_t>(count, int64_t(kSize - at)));
      out.write(bytes_.data() + at, static_cast<std::streamsize>(part));
      count -= static_cast<int64_t>(part);
      at = 0;
    }
  }

 private:
  static constexpr size_t kSize = 4 << 20;
  std::vector<char> bytes_;
};

struct Kind {
  const char* prefix;
  const char* extension;
  double share, smallest, largest;  // of the entries; bytes, log-uniform between
};

// Roughly the mix of a model archive: many models and collision files, textures of every size.
constexpr Kind kKinds[] = {{"model", "dff", 0.42, 4e3, 4e5},
                           {"tex", "txd", 0.40, 4e3, 2e6},
                           {"coll", "col", 0.12, 1e3, 6e4},
                           {"anim", "ifp", 0.06, 1e4, 3e5}};

// Sizes of the chosen kinds, scaled together to `total` bytes; the first is `big` when set.
std::vector<int64_t> Sizes(int count, int64_t total, int64_t big, std::mt19937_64& random,
                           std::vector<int>& kinds) {
  std::uniform_real_distribution<double> unit(0, 1);
  std::vector<double> raw(static_cast<size_t>(count));
  kinds.assign(raw.size(), 0);
  double sum = 0;
  for (size_t i = 0; i < raw.size(); ++i) {
    double pick = unit(random);
    size_t k = 0;
    while (k + 1 < std::size(kKinds) && pick > kKinds[k].share) pick -= kKinds[k++].share;
    kinds[i] = static_cast<int>(k);
    const Kind& kind = kKinds[k];
    raw[i] = kind.smallest * std::pow(kind.largest / kind.smallest, unit(random));
    sum += raw[i];
  }
  const double scale = double(total - big) / sum;
  std::vector<int64_t> sizes(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) sizes[i] = std::max<int64_t>(1, int64_t(raw[i] * scale));
  if (big > 0 && !sizes.empty()) sizes[0] = big;
  return sizes;
}

std::string EntryName(const std::string& prefix, int kind, int index) {
  char name[kNameSize + 1];
  std::snprintf(name, sizeof name, "%s%s%05d.%s", prefix.c_str(), kKinds[kind].prefix, index,
                kKinds[kind].extension);
  return name;
}

int64_t Sectors(int64_t bytes) { return (bytes + kSectorSize - 1) / kSectorSize; }

void WriteZeros(std::ofstream& out, int64_t count) {
  static const std::vector<char> zeros(kSectorSize);
  for (; count > 0; count -= kSectorSize)
    out.write(zeros.data(), static_cast<std::streamsize>(std::min(count, kSectorSize)));
}

// Every entry's data back to back; one in every `holeEvery` is left out of the directory, so
// its data is a hole that a rebuild drops.
// Sparse, the data are a hole of the same length: a directory of a million entries without
// gigabytes of disk, for the commands that read only the directory and the file's length.
void WriteArchive(const std::string& path, bool version2, int count, int64_t total, int64_t big,
                  int holeEvery, bool sparse) {
  std::mt19937_64 random(42);
  std::vector<int> kinds;
  const std::vector<int64_t> sizes = Sizes(count, total, big, random, kinds);
  std::vector<TIMGFileEntry> directory;
  std::vector<bool> kept(sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i)
    kept[i] = holeEvery <= 0 || int(i) % holeEvery != holeEvery - 1;
  const int64_t listed = std::count(kept.begin(), kept.end(), true);
  int64_t sector = version2 ? FirstDataSectorV2(listed) : 0;
  const int64_t firstData = sector;
  for (size_t i = 0; i < sizes.size(); ++i) {
    if (kept[i]) {
      TIMGFileEntry entry;
      entry.Offset = static_cast<int32_t>(sector);
      entry.Size = static_cast<int32_t>(Sectors(sizes[i]));
      SetNameBytes(entry, EntryName("", kinds[i], int(i)));
      directory.push_back(entry);
    }
    sector += Sectors(sizes[i]);
  }

  std::vector<unsigned char> head(static_cast<size_t>(directory.size() * kEntrySize));
  for (size_t i = 0; i < directory.size(); ++i) EncodeEntry(directory[i], &head[i * kEntrySize]);
  std::ofstream img(path, std::ios::binary | std::ios::trunc);
  if (version2) {
    TIMGHeader header;
    header.FileCount = static_cast<int32_t>(directory.size());
    unsigned char bytes[kHeaderSize];
    EncodeHeader(header, bytes);
    img.write(reinterpret_cast<const char*>(bytes), kHeaderSize);
    img.write(reinterpret_cast<const char*>(head.data()), std::streamsize(head.size()));
    WriteZeros(img, firstData * kSectorSize - kHeaderSize - int64_t(head.size()));
  } else {
    std::ofstream dir(ToUtf8(DirPathFor(FromUtf8(path))), std::ios::binary | std::ios::trunc);
    dir.write(reinterpret_cast<const char*>(head.data()), std::streamsize(head.size()));
  }
  if (!sparse) {
    Filler filler;
    for (size_t i = 0; i < sizes.size(); ++i) {
      filler.Write(img, sizes[i], i);
      WriteZeros(img, Sectors(sizes[i]) * kSectorSize - sizes[i]);
    }
  }
  img.close();
  if (!img) throw std::runtime_error("could not write " + path);
  if (sparse) std::filesystem::resize_file(path, uintmax_t(sector * kSectorSize));
}

void WriteFiles(const std::string& folder, int count, int64_t total, const std::string& prefix) {
  std::mt19937_64 random(7);
  std::vector<int> kinds;
  const std::vector<int64_t> sizes = Sizes(count, total, 0, random, kinds);
  std::filesystem::create_directories(folder);
  Filler filler;
  for (size_t i = 0; i < sizes.size(); ++i) {
    std::ofstream out(std::filesystem::path(folder) / EntryName(prefix, kinds[i], int(i)),
                      std::ios::binary | std::ios::trunc);
    filler.Write(out, sizes[i], i + 1000);
    if (!out) throw std::runtime_error("could not write into " + folder);
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app("Writes the benchmarks' archives and files");
  app.require_subcommand(1);
  std::string path, prefix;
  int layout = 2, count = 0, holes = 0;
  bool sparse = false;
  int64_t bytes = 0, big = 0;

  CLI::App* archive = app.add_subcommand("archive", "An archive of mixed entries");
  archive->add_option("OUT", path, "The .img to write")->required();
  archive->add_option("--layout", layout)->check(CLI::IsMember({1, 2}));
  archive->add_option("--entries", count)->required();
  archive->add_option("--bytes", bytes, "The entries' data in all")->required();
  archive->add_option("--holes", holes, "Percent of entries left out of the directory");
  archive->add_option("--big", big, "Bytes of entry 0");
  archive->add_flag("--sparse", sparse, "The data a hole of their length");

  CLI::App* files = app.add_subcommand("files", "Loose files of mixed sizes");
  files->add_option("FOLDER", path)->required();
  files->add_option("--count", count)->required();
  files->add_option("--bytes", bytes, "All files together")->required();
  files->add_option("--prefix", prefix, "Put in front of every name");
  CLI11_PARSE(app, argc, argv);

  if (archive->parsed())
    WriteArchive(path, layout == 2, count, bytes, big, holes > 0 ? 100 / holes : 0, sparse);
  else
    WriteFiles(path, count, bytes, prefix);
  return 0;
}
