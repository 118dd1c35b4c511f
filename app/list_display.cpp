// The entry list, its column captions and the status bar.
#include <algorithm>
#include <utility>
#include <vector>

#include "app/list_rows.h"
#include "app/main_window.h"
#include "app/menu_items.h"
#include "app/options.h"
#include "archive/img_archive.h"

namespace vandrel {
namespace {

constexpr int kListLeft = 8;
constexpr int kListTop = 19;
constexpr int kOffsetColumn = 175;
constexpr int kSizeColumn = 250;

std::wstring FilesCount() { return std::to_wstring(IMGArchive.FileCount) + L" files"; }

}  // namespace

void TfmMain::Status(const std::wstring& message) { p_.statusBar.SetText(0, message); }

void TfmMain::Working(bool busy) {
  busy_ = busy;
  p_.list.SetEnabled(!busy);
  for (int item : {miFile, miEdit, miCommands, miTools, miHelp}) p_.menus.SetEnabled(item, !busy);
  p_.window.SetCursor(busy ? Cursor::Hourglass : Cursor::Default);
  // Disabling the list took the keyboard from it; every command ends here, so the keys come
  // back here.
  if (!busy) p_.list.Focus();
}

void TfmMain::UpdateDisplay() { RefillList(-1); }

void TfmMain::RefillList(int caretEntry) {
  int caret = p_.list.Caret();
  p_.list.Clear();
  p_.statusBar.SetText(1, FilesCount());

  const auto& files = IMGArchive.Files;
  std::vector<int> order;
  if (Options.SortType == kSortByName) {
    order = NameOrder(files, p_.system);
  } else {
    order.resize(files.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  }

  if (caretEntry >= 0)
    caret = static_cast<int>(std::find(order.begin(), order.end(), caretEntry) - order.begin());
  // The record is read when a text is made: a list that makes its texts late shows each entry
  // as it is then, and one gone since keeps only its number.
  p_.list.AddEntryRows(std::move(order), [](std::wstring& text, int index) {
    const auto& entries = IMGArchive.Files;
    if (index >= 0 && static_cast<size_t>(index) < entries.size())
      AppendRowText(text, index, entries[static_cast<size_t>(index)]);
    else
      text += std::to_wstring(index) + L'%';
  });
  if (caret < p_.list.Count()) {
    p_.list.SetSelected(caret, true);
    p_.list.SetCaret(caret);
  }
}

void TfmMain::lbDisplayDrawItem(ICanvas& canvas, int row, const Rect& rect) {
  RowColumns columns = SplitRow(p_.list.Row(row));
  canvas.FillRect(rect);
  canvas.SetBold(true);
  canvas.TextOut(rect.left + 1, rect.top + 1, columns.name);
  canvas.SetBold(false);
  canvas.TextOut(rect.left + kOffsetColumn, rect.top + 1, columns.offset);
  canvas.TextOut(rect.left + kSizeColumn, rect.top + 1, columns.size);
}

void TfmMain::FormPaint(ICanvas& canvas) {
  canvas.SetBold(true);
  canvas.SetTransparent(true);
  constexpr int kCaptionTop = 3;
  canvas.TextOut(kListLeft + 2, kCaptionTop, L"Имя файла");
  canvas.TextOut(kListLeft + 2 + kOffsetColumn, kCaptionTop, L"Оффсет");
  canvas.TextOut(kListLeft + 2 + kSizeColumn, kCaptionTop, L"КВт.");
}

void TfmMain::FormResize() {
  int height = p_.window.ClientHeight() - p_.statusBar.Height() - 25;
  int width = p_.window.ClientWidth() - 2 * kListLeft;
  p_.window.SetListBounds(kListLeft, kListTop, width, height);
  p_.statusBar.SetPanelWidth(0, p_.window.OuterWidth() - 125);
}

void TfmMain::lbDisplayContextPopup(int row) {
  // As in Explorer, the menu acts on the row pointed at: a row outside the selection becomes
  // the selection alone; a selected row keeps the selection as it is.
  if (row >= 0 && row < p_.list.Count() && !p_.list.IsSelected(row)) {
    p_.list.SelectAll(false);
    p_.list.SetSelected(row, true);
    p_.list.SetCaret(row);
    lbDisplayClick();
  }
  MenuOpening(pmMenu);
}

void TfmMain::lbDisplayClick() {
  p_.statusBar.SetText(1, std::to_wstring(IMGArchive.FileCount) + L" files (" +
                              std::to_wstring(p_.list.SelectedCount()) + L")");
}

}  // namespace vandrel
