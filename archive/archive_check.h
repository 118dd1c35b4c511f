#pragma once
// A health check of an open archive's directory against its data file's length: what would
// make extracting or rebuilding fail, one entry's data another's, or two entries one name to
// the game, and how much room a rebuild would give back or take. Pure analysis; nothing is
// read but what the caller hands in.
#include <cstdint>
#include <string>
#include <vector>

#include "archive/img_format.h"

namespace vandrel {

enum class ProblemKind {
  PastEnd,           // the entry's sectors run past the end of the data file
  Overlap,           // these entries' data share sectors, one run of them per problem
  DirectoryOverlap,  // the entry's data lie in a version-2 header or directory
  Negative,          // a negative offset or size
  DuplicateName,     // these entries have one name, the case of a to z aside
};

struct Problem {
  ProblemKind kind;
  std::vector<int> entries;  // ascending entry indices
};

struct CheckReport {
  std::vector<Problem> problems;  // by kind in the order above, then by first entry
  int64_t unusedSectors = 0;      // sectors of the data file no entry or directory room holds
  // Bytes a rebuild would take off the data file, or add to it (the room a rebuilt version-2
  // directory keeps to grow into can be more than the archive has); one of the two is 0. A
  // rebuild cannot read entries past the end or at negative offsets: the figures are for the
  // archive without the entries of those two kinds, as it is once they are deleted.
  int64_t rebuildSaves = 0;
  int64_t rebuildCosts = 0;
  // Files beside the archive that a change cut short left (paths); the caller looks for them.
  std::vector<std::wstring> leftovers;
};

CheckReport CheckArchive(const std::vector<TIMGFileEntry>& files, bool version2,
                         int64_t dataFileLength);

// Whether some other entry's data lie in sectors of entry `index`'s: writing over its own
// area would change that entry too.
bool SharesSectors(const std::vector<TIMGFileEntry>& files, size_t index);

}  // namespace vandrel
