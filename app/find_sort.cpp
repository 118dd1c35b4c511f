// Finding an entry by a part of its name, and choosing the order of the list.
#include <string>

#include "app/latin_case.h"
#include "app/main_window.h"
#include "app/options.h"
#include "archive/img_archive.h"

namespace vandrel {
namespace {

constexpr wchar_t kSorted[] = L"List sorted.";
constexpr wchar_t kSearching[] = L"Searching...";
constexpr wchar_t kMatchFound[] = L"Match found.";
constexpr wchar_t kNoMatches[] = L"No matches found.";

}  // namespace

void TfmMain::SortClick(int tag) {
  if (tag == 1) Options.SortType = kSortByDirectory;
  if (tag == 2) Options.SortType = kSortByName;
  // The user sorts to find an entry among the others, not to change which one is chosen: the
  // entry under the caret keeps it in the new order, so a following Delete takes that entry.
  const int caret = p_.list.Caret();
  RefillList(caret < p_.list.Count() ? GetFileIndex(caret) : -1);
  Status(kSorted);
}

void TfmMain::Find(int tag) {
  if (tag == 1) {
    FindDialogRequest request;
    request.text = Options.LastFindStr;
    request.hideMatchCase = request.hideWholeWord = request.hideUpDown = true;
    p_.dialogs.ShowFindDialog(request, {[this] { DlgFindShow(); }, [this] { DlgFindClose(); },
                                        [this](const std::wstring& text) { DlgFind(text); }});
  } else if (tag == 2) {
    DoFind(true, Options.LastFindStr);
  }
}

// The open dialog keeps the window busy, so neither a second dialog nor a command can start.
void TfmMain::DlgFindShow() { Working(true); }

void TfmMain::DlgFindClose() { Working(false); }

void TfmMain::DlgFind(const std::wstring& text) {
  p_.dialogs.CloseFindDialog();
  Options.LastFindStr = text;
  DoFind(false, Options.LastFindStr);
}

void TfmMain::DoFind(bool next, const std::wstring& text) {
  Working(true);
  Status(kSearching);
  const int rows = p_.list.Count();
  const int start = next && p_.list.Caret() + 1 < rows ? p_.list.Caret() + 1 : 0;
  p_.list.SelectAll(false);

  const std::wstring wanted = UpperLatin(text);
  int found = -1;
  // An empty text would be found in every name; it finds nothing instead.
  for (int row = start; !wanted.empty() && row < rows && found < 0; ++row) {
    const auto& entry = IMGArchive.Files.at(static_cast<size_t>(GetFileIndex(row)));
    if (UpperLatin(NameText(entry)).find(wanted) != std::wstring::npos) found = row;
  }

  if (found >= 0) {
    p_.list.SetSelected(found, true);
    p_.list.SetCaret(found);
    Status(kMatchFound);
  } else {
    Status(kNoMatches);
  }
  Working(false);
}

}  // namespace vandrel
