#pragma once
// The open archive's files held against other programs for one command: a command that
// writes holds them alone, readers hold them together, so that nobody reads or changes an
// archive while another program is changing it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/img_archive.h"
#include "platform/file.h"
#include "platform/services.h"

namespace vandrel {

class ArchiveHold {
 public:
  // `current` is the window's hold: while it has one, a hold taken inside it (the command
  // reading again the archive it holds) takes nothing more.
  ArchiveHold(IFileSystem& files, ISystem& clock, LockKind kind, ArchiveHold*& current);
  ~ArchiveHold();
  ArchiveHold(const ArchiveHold&) = delete;
  ArchiveHold& operator=(const ArchiveHold&) = delete;

  // Holds `path` as well, after the files held already (every program takes them in the same
  // order). Another program's hold is waited for a short while; then this raises the message
  // that the archive is being changed. A file that cannot be opened is not held: the command
  // meets that itself, as it always has.
  void Take(const std::wstring& path);
  // Holds an archive's files in the order every program takes them: the .dir of a pair first
  // (`dir`, empty for none), as it is there all along while a rebuild swaps the .img.
  void TakeArchive(const std::wstring& img, const std::wstring& dir);
  // Holds a file this command made, before it takes the archive's .img's name: another program
  // waiting for the archive would otherwise find the new file free under that name and open the
  // archive while this command is still finishing (its record not yet gone).
  void Cover(const std::wstring& path);
  // Lets go of everything held before a box waits for the user.
  void LetGo() { locks_.clear(); }

 private:
  IFileSystem& files_;
  ISystem& clock_;
  LockKind kind_;
  ArchiveHold** current_;  // null for a hold inside another
  uint32_t start_;
  std::vector<std::unique_ptr<IFileLock>> locks_;
};

// Whether the directory on disk is still exactly the one `archive` holds: the .dir's records,
// or the version-2 header and table.
bool DirectoryUnchanged(IFileSystem& files, const TIMGArchive& archive);

}  // namespace vandrel
