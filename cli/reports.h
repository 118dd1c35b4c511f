#pragma once
// What list and check print: a table for people, or one JSON object for scripts. Names are
// turned from the archive's code page into UTF-8.
#include <ostream>
#include <string>
#include <vector>

#include "archive/archive_check.h"
#include "archive/img_archive.h"

namespace vandrel::cli {

// The entries in `order` (entry indices, as the list shows them), after the layout and count.
void PrintList(std::ostream& out, const TIMGArchive& archive, const std::vector<int>& order,
               bool json);

void PrintCheck(std::ostream& out, const TIMGArchive& archive, const CheckReport& report,
                bool json);

// What became of one file an import was given.
struct ImportedFile {
  enum class Result { Replaced, Added, Refused };
  std::wstring file;  // as given
  Result result = Result::Added;
  int entry = -1;          // the entry replaced or added
  std::vector<int> alike;  // other entries of that name, left alone
  std::wstring reason;     // why it was refused
};

// An import's report: a line per file as soon as it is done, or with `json` one document at the
// end, so that a failure midway still shows which files went in.
class ImportReport {
 public:
  ImportReport(std::ostream& out, bool json) : out_(out), json_(json) {}
  void Done(const TIMGArchive& archive, ImportedFile file);
  void Finish();
  // For the error box once all files are through: which were refused; empty when none was.
  std::wstring Refusals() const;
  // The progress text of file `n` of `count`.
  static std::wstring Progress(int n, int count);

 private:
  struct Line {
    ImportedFile file;
    std::string name;  // the entry's, or the refused file's
  };
  size_t Count(ImportedFile::Result result) const;

  std::ostream& out_;
  bool json_;
  std::vector<Line> lines_;
};

}  // namespace vandrel::cli
