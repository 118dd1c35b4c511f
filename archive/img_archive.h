#pragma once
// The open archive: one global record, alive for the whole run.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/img_format.h"
#include "platform/file.h"

namespace vandrel {

struct TIMGArchive {
  bool bLoaded = false;  // set only once the whole directory has been read
  int32_t FileCount = 0;
  bool bVersion2 = false;
  std::vector<TIMGFileEntry> Files;  // directory order, each record as stored
  std::wstring IMGFile;
  std::wstring DIRFile;  // empty for version 2
};

extern TIMGArchive IMGArchive;

// The open archive's own files, the .img and the .dir, as they are when made, to tell paths from
// them by identity: another spelling or a second link to one counts. Each path asked costs one
// look at it; asking for every path afresh also looked at each of the archive's files, which
// under Wine made adding many files cost several times the copying.
class OwnFiles {
 public:
  explicit OwnFiles(IFileSystem& files);
  bool Holds(const std::wstring& path) const;

 private:
  IFileSystem& files_;
  std::vector<FileIdentity> own_;
  std::vector<uint64_t> numbers_;
};

// The same for one path.
bool IsArchiveFile(IFileSystem& files, const std::wstring& path);

// Text between the first `first` and the following `second` (see the row text of the list).
std::wstring ExtractBetween(const std::wstring& text, const std::wstring& first,
                            const std::wstring& second);
// Text after the first `delimiter`.
std::wstring ExtractAfter(const std::wstring& text, const std::wstring& delimiter);

}  // namespace vandrel
