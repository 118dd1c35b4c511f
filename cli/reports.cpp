#include "cli/reports.h"

#include <algorithm>
#include <charconv>
#include <iomanip>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/paths.h"
#include "platform/utf8.h"

namespace vandrel::cli {
namespace {

using Json = nlohmann::ordered_json;

constexpr size_t kBlockBytes = 64 * 1024;

int Layout(const TIMGArchive& archive) { return archive.bVersion2 ? 2 : 1; }

std::string Name(const TIMGArchive& archive, int index) {
  return ToUtf8(NameText(archive.Files[static_cast<size_t>(index)]));
}

const char* KindName(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::PastEnd:
      return "past-end";
    case ProblemKind::Overlap:
      return "overlap";
    case ProblemKind::DirectoryOverlap:
      return "directory-overlap";
    case ProblemKind::Negative:
      return "negative";
    case ProblemKind::DuplicateName:
      return "duplicate-name";
  }
  return "";
}

// Entries a rebuild cannot copy, or would copy as empty: what it would save leaves them out.
bool Unreadable(const CheckReport& report) {
  for (const Problem& problem : report.problems)
    if (problem.kind == ProblemKind::PastEnd || problem.kind == ProblemKind::Negative) return true;
  return false;
}

// Names come from anyone's archive; a byte that is no text must not stop the report.
std::string Dumped(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void PrintJson(std::ostream& out, const Json& json) { out << Dumped(json) << '\n'; }

// `head` with one more member, `key`, last: an array whose items `item(i)` gives one at a time,
// written as the whole object would be, so that a million entries are never one document.
template <class Item>
void PrintJsonEndingInArray(std::ostream& out, const Json& head, const char* key, size_t count,
                            Item&& item) {
  std::string opening = Dumped(head);
  opening.pop_back();  // its closing brace
  out << opening << ',' << Dumped(key) << ":[";
  for (size_t i = 0; i < count; ++i) out << (i > 0 ? "," : "") << Dumped(item(i));
  out << "]}\n";
}

void PrintHead(std::ostream& out, const TIMGArchive& archive) {
  out << "layout " << Layout(archive) << ", " << archive.FileCount
      << (archive.FileCount == 1 ? " entry\n" : " entries\n");
}

// Right-aligned in `width` columns, as a stream's field width lays a number out.
void AppendNumber(std::string& line, int64_t number, size_t width) {
  char digits[24];
  const size_t size =
      static_cast<size_t>(std::to_chars(digits, std::end(digits), number).ptr - digits);
  if (size < width) line.append(width - size, ' ');
  line.append(digits, size);
}

// One row of the table onto `lines`; `name` is room the rows share. Names are padded by
// characters, not bytes, so Cyrillic ones keep the columns straight.
void AppendRow(std::string& lines, std::wstring& name, const TIMGArchive& archive, int index) {
  const TIMGFileEntry& entry = archive.Files[static_cast<size_t>(index)];
  AppendNumber(lines, index, 7);
  lines += "  ";
  name.clear();
  AppendNameText(name, entry);
  if (name.size() < kNameSize) name.append(kNameSize - name.size(), L' ');
  AppendUtf8(lines, name);
  AppendNumber(lines, entry.Offset, 12);
  AppendNumber(lines, entry.Size, 12);
  AppendNumber(lines, int64_t{entry.Size} * kSectorSize, 14);
  lines += '\n';
}

}  // namespace

void PrintList(std::ostream& out, const TIMGArchive& archive, const std::vector<int>& order,
               bool json) {
  if (json) {
    PrintJsonEndingInArray(out, {{"layout", Layout(archive)}, {"count", archive.FileCount}},
                           "entries", order.size(), [&](size_t row) {
                             const int index = order[row];
                             const TIMGFileEntry& entry = archive.Files[static_cast<size_t>(index)];
                             return Json{{"index", index},
                                         {"name", Name(archive, index)},
                                         {"offset", entry.Offset},
                                         {"size", entry.Size}};
                           });
    return;
  }
  PrintHead(out, archive);
  out << std::setw(7) << "index"
      << "  " << std::left << std::setw(kNameSize) << "name" << std::right << std::setw(12)
      << "offset" << std::setw(12) << "size" << std::setw(14) << "bytes" << '\n';
  // The rows go out in blocks: a stream's formatting for each of a million numbers took most
  // of a list's time.
  std::string lines;
  std::wstring name;
  for (int index : order) {
    AppendRow(lines, name, archive, index);
    if (lines.size() >= kBlockBytes) {
      out << lines;
      lines.clear();
    }
  }
  out << lines;
}

void PrintCheck(std::ostream& out, const TIMGArchive& archive, const CheckReport& report,
                bool json) {
  if (json) {
    Json problems = Json::array();
    for (const Problem& problem : report.problems)
      problems.push_back({{"kind", KindName(problem.kind)}, {"entries", problem.entries}});
    Json object = {{"layout", Layout(archive)},
                   {"count", archive.FileCount},
                   {"problems", std::move(problems)},
                   {"unused_sectors", report.unusedSectors},
                   {"rebuild_saves_bytes", report.rebuildSaves}};
    if (report.rebuildCosts > 0) object["rebuild_costs_bytes"] = report.rebuildCosts;
    if (!report.leftovers.empty()) {
      Json leftovers = Json::array();
      for (const auto& path : report.leftovers) leftovers.push_back(ToUtf8(path));
      object["leftovers"] = std::move(leftovers);
    }
    PrintJson(out, object);
    return;
  }
  PrintHead(out, archive);
  for (const Problem& problem : report.problems) {
    out << KindName(problem.kind) << ':';
    const char* separator = " ";
    for (int index : problem.entries) {
      out << separator << '#' << index << ' ' << Name(archive, index);
      separator = ", ";
    }
    out << '\n';
  }
  out << report.problems.size() << (report.problems.size() == 1 ? " problem\n" : " problems\n")
      << "unused sectors: " << report.unusedSectors << '\n';
  if (report.rebuildCosts > 0)
    out << "a rebuild would add " << report.rebuildCosts << " bytes";
  else
    out << "a rebuild would save " << report.rebuildSaves << " bytes";
  out << (Unreadable(report) ? ", once the entries past the end or with negative numbers are "
                               "deleted\n"
                             : "\n");
  for (const auto& path : report.leftovers)
    out << "left over by a change cut short: " << ToUtf8(path) << '\n';
}

namespace {

const char* ResultName(ImportedFile::Result result) {
  switch (result) {
    case ImportedFile::Result::Replaced:
      return "replaced";
    case ImportedFile::Result::Added:
      return "added";
    case ImportedFile::Result::Refused:
      return "refused";
  }
  return "";
}

}  // namespace

void ImportReport::Done(const TIMGArchive& archive, ImportedFile file) {
  std::string name = file.result == ImportedFile::Result::Refused
                         ? ToUtf8(paths::FileName(file.file))
                         : Name(archive, file.entry);
  if (!json_) {
    out_ << ResultName(file.result) << ' ' << name;
    if (file.result == ImportedFile::Result::Refused) out_ << ": " << ToUtf8(file.reason);
    if (!file.alike.empty()) {
      out_ << " (the first of " << file.alike.size() + 1 << " entries of that name; left alone:";
      const char* separator = " ";
      for (int index : file.alike) out_ << separator << '#' << index, separator = ", ";
      out_ << ')';
    }
    out_ << '\n' << std::flush;
  }
  lines_.push_back({std::move(file), std::move(name)});
}

void ImportReport::Finish() {
  if (!json_) return;
  Json files = Json::array();
  for (const Line& line : lines_) {
    Json object = {{"file", ToUtf8(line.file.file)},
                   {"result", ResultName(line.file.result)},
                   {"name", line.name}};
    if (line.file.result == ImportedFile::Result::Refused)
      object["reason"] = ToUtf8(line.file.reason);
    else
      object["entry"] = line.file.entry;
    if (!line.file.alike.empty()) object["left_alone"] = line.file.alike;
    files.push_back(std::move(object));
  }
  PrintJson(out_, {{"replaced", Count(ImportedFile::Result::Replaced)},
                   {"added", Count(ImportedFile::Result::Added)},
                   {"refused", Count(ImportedFile::Result::Refused)},
                   {"files", std::move(files)}});
}

std::wstring ImportReport::Refusals() const {
  const size_t refused = Count(ImportedFile::Result::Refused);
  if (refused == 0) return L"";
  std::wstring text = L"Not imported (" + std::to_wstring(refused) + L" of " +
                      std::to_wstring(lines_.size()) + L" files):";
  const wchar_t* separator = L" ";
  for (const Line& line : lines_)
    if (line.file.result == ImportedFile::Result::Refused)
      text += separator + paths::FileName(line.file.file), separator = L", ";
  return text;
}

std::wstring ImportReport::Progress(int n, int count) {
  return L"Importing " + std::to_wstring(n) + L"/" + std::to_wstring(count);
}

size_t ImportReport::Count(ImportedFile::Result result) const {
  return static_cast<size_t>(std::count_if(
      lines_.begin(), lines_.end(), [&](const Line& line) { return line.file.result == result; }));
}

}  // namespace vandrel::cli
