// The system's open dialog, in the explorer style, resizable, with one or many files chosen.
#include "platform/win32/dialog_parts_win32.h"
#include "platform/win32/window_helpers_win32.h"

namespace vandrel::win32 {
namespace {

// Room for a good many names chosen at once.
constexpr size_t kAnswerCharacters = 1 << 16;

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

DWORD Flags(const OpenFileRequest& request) {
  DWORD flags = OFN_EXPLORER;
  if (request.multiSelect) flags |= OFN_ALLOWMULTISELECT;
  if (request.hideReadOnly) flags |= OFN_HIDEREADONLY;
  if (request.mustExist) flags |= OFN_FILEMUSTEXIST;
  if (request.resizable) flags |= OFN_ENABLESIZING;
  return flags;
}

}  // namespace

std::wstring FilterList(const std::vector<FileFilter>& filters) {
  std::wstring list;
  for (const auto& filter : filters) {
    list += filter.display;
    list += L'\0';
    list += filter.pattern;
    list += L'\0';
  }
  list += L'\0';
  return list;
}

std::vector<std::wstring> ChosenFiles(const wchar_t* answer) {
  std::vector<std::wstring> parts;
  for (const wchar_t* part = answer; *part; part += parts.back().size() + 1)
    parts.emplace_back(part);
  if (parts.size() <= 1) return parts;
  std::wstring folder = parts.front();
  if (folder.back() != L'\\') folder += L'\\';
  std::vector<std::wstring> files;
  for (size_t i = 1; i < parts.size(); ++i) files.push_back(folder + parts[i]);
  return files;
}

std::optional<std::vector<std::wstring>> ShowOpenFile(const UiContext& context,
                                                      const OpenFileRequest& request) {
  std::wstring filters = FilterList(request.filters);
  std::vector<wchar_t> answer(kAnswerCharacters, L'\0');
  request.fileName.copy(answer.data(), answer.size() - 2);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = DialogOwner(context);
  dialog.lpstrFilter = request.filters.empty() ? nullptr : filters.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = answer.data();
  dialog.nMaxFile = static_cast<DWORD>(answer.size());
  dialog.lpstrInitialDir = OrNull(request.initialDir);
  dialog.lpstrTitle = OrNull(request.title);
  dialog.Flags = Flags(request);

  CentredDialogs centred(context.instance, true);
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return ChosenFiles(answer.data());
}

}  // namespace vandrel::win32
