#include "ops/replace_fit.h"

#include "archive/archive_check.h"
#include "archive/img_archive.h"
#include "ops/directory_io.h"
#include "platform/errors.h"

namespace vandrel {
namespace {

bool AreaInside(const TIMGFileEntry& entry, int64_t length, int64_t directoryEnd) {
  const int64_t start = entry.Offset * kSectorSize;
  return entry.Offset >= 0 && entry.Size >= 0 && start + AreaBytes(entry) <= length &&
         (entry.Size == 0 || start >= directoryEnd);
}

}  // namespace

int64_t AreaBytes(const TIMGFileEntry& entry) { return entry.Size * kSectorSize; }

InPlaceFit FitInPlace(IFileSystem& files, const OwnFiles& own, int index,
                      const std::wstring& path) {
  const TIMGFileEntry& entry = IMGArchive.Files.at(static_cast<size_t>(index));
  // Read into itself, the archive would grow until the disk is full.
  if (own.Holds(path)) return InPlaceFit::OwnFile;
  if (files.FindSize(path).value_or(-1) > AreaBytes(entry)) return InPlaceFit::TooBig;
  const std::optional<int64_t> length = files.FindSize(IMGArchive.IMGFile);
  if (!length) throw InOutError(kErrFileNotFound);
  const int64_t directoryEnd = IMGArchive.bVersion2 ? SlotPositionV2(IMGArchive.FileCount) : 0;
  if (!AreaInside(entry, *length, directoryEnd)) return InPlaceFit::Outside;
  if (SharesSectors(IMGArchive.Files, static_cast<size_t>(index))) return InPlaceFit::Shared;
  return InPlaceFit::Fits;
}

}  // namespace vandrel
