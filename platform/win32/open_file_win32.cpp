// The system's open dialog, in the explorer style, resizable, with one or many files chosen.
#include <algorithm>

#include "platform/win32/dialog_parts_win32.h"
#include "platform/win32/window_helpers_win32.h"
// The ids of the dialog's controls (cmb13), kept to this file: their short names would clash.
#include <dlgs.h>

namespace vandrel::win32 {
namespace {

// Room for what most choices need; a larger choice makes more while the dialog is open.
constexpr size_t kAnswerCharacters = 1 << 16;

// The dialog writes the folder and the chosen names into the answer only when Open is pressed,
// and a choice larger than the answer's room is lost: the system leaves the file-name field
// empty and fails, and Wine writes past the end of the room. So the room grows with the
// choice, each time the selection changes and before Open takes typed names.
class Answer {
 public:
  explicit Answer(const std::wstring& fileName) : text_(kAnswerCharacters, L'\0') {
    fileName.copy(text_.data(), text_.size() - 2);
  }
  const wchar_t* text() const { return text_.data(); }

  // The dialog reads the answer's place from its own copy of the request, handed over at its
  // first message.
  void Attach(OPENFILENAMEW& dialog) {
    dialog_ = &dialog;
    Point(dialog);
  }

  void MakeRoom(HWND box) {
    // Both sizes count the closing zero; a place that is no folder has no path, yet its
    // answer still begins with one.
    const auto folder = std::max<LRESULT>(SendMessageW(box, CDM_GETFOLDERPATH, 0, 0), MAX_PATH);
    const auto names = std::max<LRESULT>(SendMessageW(box, CDM_GETSPEC, 0, 0), 0);
    // The zero-separated names take no more room than the quoted ones; one zero ends the list.
    const size_t needed = static_cast<size_t>(folder + names) + 1;
    if (needed <= text_.size() || !dialog_) return;
    // Doubling: a selection widened row by row asks again at every row.
    text_.resize(std::max(needed, 2 * text_.size()), L'\0');
    Point(*dialog_);
  }

 private:
  void Point(OPENFILENAMEW& dialog) {
    dialog.lpstrFile = text_.data();
    dialog.nMaxFile = static_cast<DWORD>(text_.size());
  }

  std::vector<wchar_t> text_;
  OPENFILENAMEW* dialog_ = nullptr;
};

// Open (its button, Enter, a double click) arrives at the dialog as IDOK, before the names are
// written.
LRESULT CALLBACK RoomBeforeOpen(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR answer) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
    reinterpret_cast<Answer*>(answer)->MakeRoom(box);
  return DefSubclassProc(box, message, wParam, lParam);
}

// An edit field takes some 30,000 characters unless told otherwise, and a paste past that is
// cut off without a word: 5,000 pasted names are 135,000. The file-name field takes any length.
void LiftNameLimit(HWND box) {
  HWND names = GetDlgItem(box, cmb13);
  if (!names) return;
  auto edit = reinterpret_cast<HWND>(SendMessageW(names, CBEM_GETEDITCONTROL, 0, 0));
  if (!edit) edit = FindWindowExW(names, nullptr, L"Edit", nullptr);
  if (edit) SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
}

// The hook's own (empty) dialog lies inside the system's, which takes the messages above.
UINT_PTR CALLBACK KeepRoom(HWND hook, UINT message, WPARAM, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto& dialog = *reinterpret_cast<OPENFILENAMEW*>(lParam);
    auto* answer = reinterpret_cast<Answer*>(dialog.lCustData);
    answer->Attach(dialog);
    SetWindowLongPtrW(hook, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(answer));
    SetWindowSubclass(GetParent(hook), RoomBeforeOpen, 1, reinterpret_cast<DWORD_PTR>(answer));
    LiftNameLimit(GetParent(hook));
  } else if (message == WM_NOTIFY &&
             reinterpret_cast<const NMHDR*>(lParam)->code == CDN_SELCHANGE) {
    auto* answer = reinterpret_cast<Answer*>(GetWindowLongPtrW(hook, GWLP_USERDATA));
    if (answer) answer->MakeRoom(GetParent(hook));
  }
  return 0;
}

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

DWORD Flags(const OpenFileRequest& request) {
  DWORD flags = OFN_EXPLORER;
  if (request.multiSelect) flags |= OFN_ALLOWMULTISELECT | OFN_ENABLEHOOK;
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
  Answer answer(request.fileName);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = DialogOwner(context);
  dialog.lpstrFilter = request.filters.empty() ? nullptr : filters.c_str();
  dialog.nFilterIndex = 1;
  answer.Attach(dialog);
  dialog.lpfnHook = KeepRoom;
  dialog.lCustData = reinterpret_cast<LPARAM>(&answer);
  dialog.lpstrInitialDir = OrNull(request.initialDir);
  dialog.lpstrTitle = OrNull(request.title);
  dialog.Flags = Flags(request);

  CentredDialogs centred(context.instance, true);
  if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  return ChosenFiles(answer.text());
}

}  // namespace vandrel::win32
