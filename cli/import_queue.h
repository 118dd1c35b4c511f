#pragma once
// An import's changes held back so that its in-place replacements share one record, written
// and flushed once, and its adds and relocating replacements one Add batch. Run does the
// replacements in place first, then the batch in the files' order: that leaves the bytes the
// files' own order leaves as long as no add in the batch moves an area waiting to be written in
// place, and no such area is an entry the batch adds or moves, which is what queuing looks
// after.
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <unordered_set>
#include <vector>

#include "app/main_window.h"
#include "cli/reports.h"

namespace vandrel::cli {

class ImportQueue {
 public:
  // `report` is given each file once its change is on disk, in the order they were queued.
  // `own` are the archive's own files, which no file may replace.
  ImportQueue(TfmMain& fm, IFileSystem& files, const OwnFiles& own,
              std::function<void(ImportedFile)> report)
      : fm_(fm), files_(files), own_(own), report_(std::move(report)) {}

  // Queues `file` as the replacement of entry `alike.front()`, the first of those of its name.
  // False when the window's Replace must do it, which it may then at once: the queue has run.
  bool Replace(const std::wstring& file, const std::vector<int>& alike);
  // Queues `file` to be added; returns the index its entry is to have.
  int Add(const std::wstring& file);
  // A file left out, reported in its turn.
  void Refuse(ImportedFile file);
  // Does what is queued. When that fails partway, the files done before are reported.
  void Run();

 private:
  enum class Step { InPlace, Appended, None };
  struct Queued {
    ImportedFile file;
    Step step;
    size_t appended;  // its place in the batch
  };

  static int64_t AreaStart(int entry);
  // Where a version-2 directory ends once the batch has added `adds` entries.
  static int64_t GrownDirectoryEnd(int adds);
  bool BehindGrownDirectory(int entry);
  void Report(bool replaced, size_t appended);

  TfmMain& fm_;
  IFileSystem& files_;
  const OwnFiles& own_;
  std::function<void(ImportedFile)> report_;
  std::vector<Queued> queued_;
  std::vector<InPlaceReplacement> inPlace_;
  std::vector<AppendedFile> appended_;
  std::unordered_set<int> changing_;  // entries the batch adds or moves
  static constexpr int64_t kNothingInPlace = std::numeric_limits<int64_t>::max();
  int adds_ = 0;                            // entries the batch adds
  int64_t firstInPlace_ = kNothingInPlace;  // where the first area to be written in place begins
};

}  // namespace vandrel::cli
