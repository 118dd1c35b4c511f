#include "cli/import_queue.h"

#include <algorithm>

#include "archive/img_archive.h"
#include "ops/directory_io.h"
#include "ops/replace_fit.h"

namespace vandrel::cli {

bool ImportQueue::Replace(const std::wstring& file, const std::vector<int>& alike) {
  const int entry = alike.front();
  if (changing_.count(entry) != 0 || !BehindGrownDirectory(entry)) Run();
  const InPlaceFit fit = FitInPlace(files_, own_, entry, file);
  ImportedFile replaced{file,
                        ImportedFile::Result::Replaced,
                        entry,
                        std::vector<int>(alike.begin() + 1, alike.end()),
                        {}};
  if (fit == InPlaceFit::Fits) {
    inPlace_.push_back({entry, file});
    firstInPlace_ = std::min(firstInPlace_, AreaStart(entry));
    queued_.push_back({std::move(replaced), Step::InPlace, 0});
    return true;
  }
  // Too big stays too big whatever the batch does before; an area found outside or shared may
  // not be once the batch has run, so the window's Replace decides that afresh.
  if (fit == InPlaceFit::TooBig && IMGArchive.bVersion2) {
    changing_.insert(entry);
    queued_.push_back({std::move(replaced), Step::Appended, appended_.size()});
    appended_.push_back({file, entry});
    return true;
  }
  Run();
  return false;
}

int ImportQueue::Add(const std::wstring& file) {
  // Growing the directory past an area waiting to be written in place would move it first.
  if (IMGArchive.bVersion2 && firstInPlace_ < GrownDirectoryEnd(adds_ + 1)) Run();
  const int entry = IMGArchive.FileCount + adds_++;
  changing_.insert(entry);
  ImportedFile added;
  added.file = file;
  added.entry = entry;
  queued_.push_back({std::move(added), Step::Appended, appended_.size()});
  appended_.push_back({file});
  return entry;
}

void ImportQueue::Refuse(ImportedFile file) { queued_.push_back({std::move(file), Step::None, 0}); }

void ImportQueue::Run() {
  bool replaced = false;
  size_t appended = 0;
  try {
    if (!inPlace_.empty()) fm_.ReplaceInPlace(inPlace_);
    replaced = true;
    if (!appended_.empty()) fm_.AppendChosenFiles(appended_, appended);
  } catch (...) {
    Report(replaced, appended);
    throw;
  }
  Report(replaced, appended);
}

int64_t ImportQueue::AreaStart(int entry) {
  return int64_t{IMGArchive.Files.at(static_cast<size_t>(entry)).Offset} * kSectorSize;
}

int64_t ImportQueue::GrownDirectoryEnd(int adds) {
  return SlotPositionV2(IMGArchive.FileCount + adds);
}

// An add moves the entries whose data begin under its grown directory; those behind it stay.
bool ImportQueue::BehindGrownDirectory(int entry) {
  return !IMGArchive.bVersion2 || AreaStart(entry) >= GrownDirectoryEnd(adds_);
}

void ImportQueue::Report(bool replaced, size_t appended) {
  for (Queued& queued : queued_) {
    if ((queued.step == Step::InPlace && !replaced) ||
        (queued.step == Step::Appended && queued.appended >= appended))
      break;
    report_(std::move(queued.file));
  }
  queued_.clear();
  inPlace_.clear();
  appended_.clear();
  changing_.clear();
  adds_ = 0;
  firstInPlace_ = kNothingInPlace;
}

}  // namespace vandrel::cli
