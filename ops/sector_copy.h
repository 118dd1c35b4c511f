#pragma once
// Entry data moves through one fixed buffer of whole sectors, never through a whole file in
// memory. Reading several sectors per call leaves on disk exactly what copying one sector at a
// time leaves, also when a copy fails: whatever was written is a run of whole sectors up to the
// one that failed, and nothing of the failing sector or behind it.
#include <cstdint>
#include <vector>

#include "platform/file.h"

namespace vandrel {

// 64 KiB: one sector per call measured clearly slower; from 32 KiB up the sizes could not be
// told apart (bench/ops_bench.cpp).
inline constexpr int64_t kCopyBufferSectors = 32;
// 1 MiB for the long runs of CopyLongRun, which go by positioned calls.
inline constexpr int64_t kWideCopySectors = 512;

class SectorBuffer {
 public:
  explicit SectorBuffer(int64_t sectors = kCopyBufferSectors);
  SectorBuffer(const SectorBuffer&) = delete;
  SectorBuffer& operator=(const SectorBuffer&) = delete;

  // Copies `count` whole sectors from byte `from` of `source` to byte `to` of `target`, which
  // may be the same file when the two runs do not overlap. A sector the source does not hold in
  // full raises "Read beyond end of file" once every whole sector before it has been written.
  void CopySectors(IFile& source, int64_t from, IFile& target, int64_t to, int64_t count);

  // The same copy, leaving on disk what CopySectors leaves, between two files: the
  // system copies the whole sectors the source holds where it can, without them passing through
  // the program; otherwise, or for what it left, they go by positioned reads and writes
  // through the buffer, widened to kWideCopySectors. Once the system has refused, this buffer
  // no longer asks it. Where the files' positions stand afterwards is not said.
  void CopyLongRun(IFile& source, int64_t from, IFile& target, int64_t to, int64_t count);

  // Copies from the source's position to the target's until the source ends or `limit` bytes
  // have gone; returns how many bytes were copied.
  int64_t CopyAll(IFile& source, IFile& target, int64_t limit);

  // Copies the whole of `source`, from its start, to byte `to` of `target`, then zero bytes to
  // the end of the last sector it reaches; returns how many bytes the source gave. The bytes go
  // by positioned calls through the buffer: for files of a few sectors the system's copy
  // (copy_file_range on ext4) measured slower. Where the files' positions stand afterwards is
  // not said.
  int64_t CopyFileInSectors(IFile& source, IFile& target, int64_t to);

  // Writes `count` zero bytes at the target's position.
  void WriteZeros(IFile& target, int64_t count);

 private:
  std::vector<unsigned char> bytes_;
  bool systemCopies_ = true;
};

}  // namespace vandrel
