#pragma once
// The files of one Add batch whose names cannot be entry names (ops/entry_name.h), or that are
// the archive's own files. Each is left out, the others are added, and the batch ends by saying
// which were refused and why: cut to the field or stored with "?", two files could become two
// entries of one name.
#include <string>
#include <vector>

namespace vandrel {

// Why Add leaves `file` out: a name that cannot be an entry's, or one of the archive's own files
// (`archivesOwn`). Null when the file may be added.
const wchar_t* RefusalReason(const std::wstring& file, bool archivesOwn);

class RefusedFiles {
 public:
  // True when the file may be added under its name and is not one of the archive's own files
  // (`archivesOwn`); otherwise it is remembered with the reason.
  bool Admit(const std::wstring& file, bool archivesOwn);
  bool empty() const { return lines_.empty(); }
  // The status a batch of `chosen` files ends with: `added` when none was refused.
  std::wstring Status(const std::wstring& added, size_t chosen) const;
  // Which files were refused and why, for the error box.
  std::wstring Report(size_t chosen) const;

 private:
  std::vector<std::wstring> lines_;
};

}  // namespace vandrel
