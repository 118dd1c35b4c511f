#include "ops/refused_files.h"

#include "ops/entry_name.h"
#include "platform/errors.h"
#include "platform/paths.h"

namespace vandrel {
namespace {

constexpr wchar_t kTooLong[] = L"its name is longer than 24 characters";
constexpr wchar_t kNotInCodePage[] = L"its name holds characters that archive names cannot hold";
constexpr wchar_t kNotAFileName[] =
    L"its name could not be a file name on Windows (a device name such as CON, or one holding "
    L"* ? \" < > | or control characters)";
constexpr wchar_t kArchivesOwn[] =
    L"it is one of the archive's own files, which would copy itself until the disk is full";
// A box taller than the screen shows nothing more; the count says the rest.
constexpr size_t kListed = 20;

const wchar_t* Reason(NameProblem problem) {
  switch (problem) {
    case NameProblem::TooLong:
      return kTooLong;
    case NameProblem::NotInCodePage:
      return kNotInCodePage;
    case NameProblem::NotAFileName:
      return kNotAFileName;
    case NameProblem::None:
      break;
  }
  return nullptr;
}

}  // namespace

const wchar_t* RefusalReason(const std::wstring& file, bool archivesOwn) {
  return archivesOwn ? kArchivesOwn : Reason(CheckEntryName(paths::FileName(file)));
}

bool RefusedFiles::Admit(const std::wstring& file, bool archivesOwn) {
  const wchar_t* reason = RefusalReason(file, archivesOwn);
  if (reason) lines_.push_back(Quoted(file) + L": " + reason);
  return !reason;
}

std::wstring RefusedFiles::Status(const std::wstring& added, size_t chosen) const {
  if (lines_.empty()) return added;
  return std::to_wstring(chosen - lines_.size()) + L" file(s) added, " +
         std::to_wstring(lines_.size()) + L" refused.";
}

std::wstring RefusedFiles::Report(size_t chosen) const {
  std::wstring text = L"Not added (" + std::to_wstring(lines_.size()) + L" of " +
                      std::to_wstring(chosen) + L" files):";
  for (size_t i = 0; i < lines_.size() && i < kListed; ++i) text += L"\n" + lines_[i];
  if (lines_.size() > kListed)
    text += L"\n... and " + std::to_wstring(lines_.size() - kListed) + L" more";
  return text;
}

}  // namespace vandrel
