#include "archive/archive_check.h"

#include <algorithm>
#include <string_view>

#include "ops/entry_name.h"
#include "ops/name_table.h"

namespace vandrel {
namespace {

struct Span {
  int64_t first, end;  // sectors [first, end)
  int index;
};

int64_t SectorsHolding(int64_t bytes) { return (bytes + kSectorSize - 1) / kSectorSize; }

// Entries whose data span sectors, ascending by first sector (then by index), negatives left
// out: they are reported on their own and point nowhere a sector could be.
std::vector<Span> DataSpans(const std::vector<TIMGFileEntry>& files) {
  std::vector<Span> spans;
  for (size_t i = 0; i < files.size(); ++i) {
    const TIMGFileEntry& entry = files[i];
    if (entry.Offset < 0 || entry.Size <= 0) continue;
    spans.push_back({entry.Offset, int64_t{entry.Offset} + entry.Size, static_cast<int>(i)});
  }
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
    return a.first != b.first ? a.first < b.first : a.index < b.index;
  });
  return spans;
}

void AddEach(std::vector<Problem>& problems, ProblemKind kind, const std::vector<int>& entries) {
  for (int index : entries) problems.push_back({kind, {index}});
}

// Runs of spans linked by shared sectors; one pass over the sorted spans.
void AddOverlaps(std::vector<Problem>& problems, const std::vector<Span>& spans) {
  std::vector<Problem> runs;
  int64_t runEnd = -1;
  std::vector<int> run;
  auto finish = [&] {
    if (run.size() > 1) {
      std::sort(run.begin(), run.end());
      runs.push_back({ProblemKind::Overlap, run});
    }
    run.clear();
  };
  for (const Span& span : spans) {
    if (span.first >= runEnd) finish();
    run.push_back(span.index);
    runEnd = std::max(runEnd, span.end);
  }
  finish();
  std::sort(runs.begin(), runs.end(),
            [](const Problem& a, const Problem& b) { return a.entries[0] < b.entries[0]; });
  problems.insert(problems.end(), runs.begin(), runs.end());
}

std::string_view NameOf(const TIMGFileEntry& entry) {
  const auto end = std::find(entry.Name.begin(), entry.Name.end(), '\0');
  return {entry.Name.data(), static_cast<size_t>(end - entry.Name.begin())};
}

// Groups of entries of one name, ascending by their first entry: one pass finds each entry's
// first of its name, a second gathers those that have company. Nothing per entry but indices.
void AddDuplicates(std::vector<Problem>& problems, const std::vector<TIMGFileEntry>& files) {
  const size_t count = files.size();
  const std::vector<int> first = FirstOfEachName(
      count, [&](int index) { return EntryNameKey(NameOf(files[static_cast<size_t>(index)])); });
  std::vector<bool> shared(count);
  for (size_t i = 0; i < count; ++i)
    if (first[i] != static_cast<int>(i)) shared[static_cast<size_t>(first[i])] = true;
  std::vector<size_t> group(count);  // a first entry's problem, once it has one
  for (size_t i = 0; i < count; ++i) {
    const auto own = static_cast<size_t>(first[i]);
    if (!shared[own]) continue;
    if (own == i) {
      group[i] = problems.size();
      problems.push_back({ProblemKind::DuplicateName, {}});
    }
    problems[group[own]].entries.push_back(static_cast<int>(i));
  }
}

// Sectors of [0, fileSectors) that the reserved head or some span holds.
int64_t UsedSectors(const std::vector<Span>& spans, int64_t reserved, int64_t fileSectors) {
  int64_t used = std::min(reserved, fileSectors), covered = used;
  for (const Span& span : spans) {
    const int64_t first = std::max(span.first, covered), end = std::min(span.end, fileSectors);
    if (end > first) {
      used += end - first;
      covered = end;
    }
  }
  return used;
}

}  // namespace

CheckReport CheckArchive(const std::vector<TIMGFileEntry>& files, bool version2,
                         int64_t dataFileLength) {
  const int64_t directoryEnd = version2 ? kHeaderSize + kEntrySize * int64_t(files.size()) : 0;
  const std::vector<Span> spans = DataSpans(files);

  const int64_t fileSectors = SectorsHolding(dataFileLength);
  std::vector<int> pastEnd, inDirectory, negative;
  // What a rebuild would copy of the entries it can read, each of them whole, sectors they
  // share with others included. Far beyond what a directory's offsets can count, the sum stops
  // growing, so it cannot overflow.
  constexpr int64_t kSumLimit = int64_t{1} << 48;
  int64_t kept = 0, dataSectors = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const TIMGFileEntry& entry = files[i];
    if (entry.Offset < 0 || entry.Size < 0) {
      negative.push_back(static_cast<int>(i));
      continue;
    }
    if (entry.Size > 0 && (int64_t{entry.Offset} + entry.Size) * kSectorSize > dataFileLength) {
      pastEnd.push_back(static_cast<int>(i));
    } else {
      ++kept;
      dataSectors = std::min(dataSectors + entry.Size, kSumLimit);
    }
    if (entry.Size == 0) continue;
    if (int64_t{entry.Offset} * kSectorSize < directoryEnd)
      inDirectory.push_back(static_cast<int>(i));
  }

  CheckReport report;
  AddEach(report.problems, ProblemKind::PastEnd, pastEnd);
  AddOverlaps(report.problems, spans);
  AddEach(report.problems, ProblemKind::DirectoryOverlap, inDirectory);
  AddEach(report.problems, ProblemKind::Negative, negative);
  AddDuplicates(report.problems, files);

  // In version 2 the sectors before the first data are the directory's room to grow.
  int64_t head = 0;
  if (version2)
    head = std::max(SectorsHolding(directoryEnd),
                    spans.empty() ? FirstDataSectorV2(int64_t(files.size())) : spans[0].first);
  report.unusedSectors = fileSectors - UsedSectors(spans, head, fileSectors);
  // A version-1 archive whose entries hold no data comes out of a rebuild as one empty sector.
  const int64_t rebuiltSectors =
      version2 ? FirstDataSectorV2(kept) + dataSectors : std::max<int64_t>(dataSectors, 1);
  const int64_t change = dataFileLength - rebuiltSectors * kSectorSize;
  report.rebuildSaves = std::max<int64_t>(change, 0);
  report.rebuildCosts = std::max<int64_t>(-change, 0);
  return report;
}

bool SharesSectors(const std::vector<TIMGFileEntry>& files, size_t index) {
  const TIMGFileEntry& own = files.at(index);
  const int64_t first = own.Offset, end = first + int64_t{own.Size};
  for (size_t other = 0; other < files.size(); ++other) {
    const TIMGFileEntry& entry = files[other];
    if (other == index || entry.Size <= 0) continue;
    if (entry.Offset < end && first < entry.Offset + int64_t{entry.Size}) return true;
  }
  return false;
}

}  // namespace vandrel
