#include "cli/reports.h"

#include <algorithm>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/paths.h"
#include "platform/utf8.h"

namespace vandrel::cli {
namespace {

using Json = nlohmann::ordered_json;

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
void PrintJson(std::ostream& out, const Json& json) {
  out << json.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

void PrintHead(std::ostream& out, const TIMGArchive& archive) {
  out << "layout " << Layout(archive) << ", " << archive.FileCount
      << (archive.FileCount == 1 ? " entry\n" : " entries\n");
}

// Names are padded by characters, not bytes, so Cyrillic ones keep the columns straight.
std::string Padded(const TIMGArchive& archive, int index) {
  std::wstring name = NameText(archive.Files[static_cast<size_t>(index)]);
  if (name.size() < kNameSize) name.append(kNameSize - name.size(), L' ');
  return ToUtf8(name);
}

}  // namespace

void PrintList(std::ostream& out, const TIMGArchive& archive, const std::vector<int>& order,
               bool json) {
  if (json) {
    Json entries = Json::array();
    for (int index : order) {
      const TIMGFileEntry& entry = archive.Files[static_cast<size_t>(index)];
      entries.push_back({{"index", index},
                         {"name", Name(archive, index)},
                         {"offset", entry.Offset},
                         {"size", entry.Size}});
    }
    PrintJson(out, {{"layout", Layout(archive)},
                    {"count", archive.FileCount},
                    {"entries", std::move(entries)}});
    return;
  }
  PrintHead(out, archive);
  out << std::setw(7) << "index"
      << "  " << std::left << std::setw(kNameSize) << "name" << std::right << std::setw(12)
      << "offset" << std::setw(12) << "size" << std::setw(14) << "bytes" << '\n';
  for (int index : order) {
    const TIMGFileEntry& entry = archive.Files[static_cast<size_t>(index)];
    out << std::setw(7) << index << "  " << Padded(archive, index) << std::setw(12) << entry.Offset
        << std::setw(12) << entry.Size << std::setw(14) << int64_t{entry.Size} * kSectorSize
        << '\n';
  }
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
