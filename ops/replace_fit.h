#pragma once
// Whether a Replace can write a file over its entry's own area, decided in one place for the
// window's Replace and for an import's, which queues those that can.
#include <cstdint>
#include <string>

#include "archive/img_archive.h"
#include "archive/img_format.h"
#include "platform/file.h"

namespace vandrel {

enum class InPlaceFit {
  Fits,
  OwnFile,  // one of the archive's own files
  TooBig,   // larger than the area
  Outside,  // the area lies outside the data file or, in version 2, under the directory
  Shared,   // the area shares sectors with another entry's
};

int64_t AreaBytes(const TIMGFileEntry& entry);

// How entry `index` of the open archive stands to taking the file at `path` in place, checked
// in this order: a damaged directory may point anywhere, and writing in place is only for an
// area of the entry's own that lies within the data file and behind a version-2 directory.
// `own` are the archive's own files, looked at once for a whole import.
InPlaceFit FitInPlace(IFileSystem& files, const OwnFiles& own, int index, const std::wstring& path);

}  // namespace vandrel
