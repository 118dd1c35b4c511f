#pragma once
// The main window. Its methods live in the files of the subsystem they serve: app/ (start-up,
// list, menus, find and sort), archive/ (opening and closing), ops/ (the editing commands),
// settings/ (association and the auxiliary windows).
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/menu_table.h"
#include "archive/img_format.h"
#include "ops/progress.h"
#include "platform/platform.h"
#include "settings/splash.h"

namespace vandrel {

class AddBatch;
class ArchiveHold;
class SectorBuffer;

// A file going over the area of entry `index`, which can take it in place (ops/replace_fit.h).
struct InPlaceReplacement {
  int index = 0;
  std::wstring file;
};

// A file an Add batch appends: as a new entry, or in version 2 as the new data of entry
// `replacing`, a replacement too big for that entry's area.
struct AppendedFile {
  std::wstring file;
  int replacing = -1;
};

class TfmMain {
 public:
  explicit TfmMain(Platform& platform) : p_(platform), fmSplash_(platform) {}
  TfmMain(const TfmMain&) = delete;
  TfmMain& operator=(const TfmMain&) = delete;

  Platform& platform() { return p_; }

  // The start once the window exists, hidden: FormCreate, then the splash window, which shows
  // the main window when it closes, or the main window at once.
  void StartUp(const std::vector<std::wstring>& arguments);
  // Start-up and exit; each shows what it raises in the application's error box.
  void FormCreate(const std::vector<std::wstring>& arguments);
  void FormDestroy();

  // The application's top-level handler: runs an event handler and shows what it raises.
  void Guarded(const std::function<void()>& handler);
  void ShowException(const std::exception& error);

  // The entry list and the status bar.
  void Status(const std::wstring& message);
  void Working(bool busy);
  void UpdateDisplay();
  void lbDisplayDrawItem(ICanvas& canvas, int row, const Rect& rect);
  void FormPaint(ICanvas& canvas);
  void FormResize();
  void lbDisplayClick();
  // The list's shortcut menu is about to open over `row` (-1: from the keyboard, or below the
  // last row).
  void lbDisplayContextPopup(int row);
  // Files and folders dropped on the window, full paths in the order the platform gives them.
  void FormDropFiles(const std::vector<std::wstring>& dropped);

  // Menus and command dispatch; tags as the menu tables give them. The platform reports a
  // menu about to open (a top-level item, or pmMenu), a chosen item, and a pressed key; the
  // last returns whether a menu item carries that key.
  void MenuOpening(int menu);
  void MenuItemChosen(int item);
  bool ShortcutPressed(const Shortcut& shortcut);
  void miFileClick();
  void miEditClick();
  void miCommandsClick();
  void miToolsClick();
  void CommandSelect(int tag);
  void miSelectAllClick();
  void miOpenClick();
  void miCloseClick();
  void miExitClick();

  // Find and sort.
  void SortClick(int tag);
  void Find(int tag);
  void DlgFindShow();
  void DlgFindClose();
  void DlgFind(const std::wstring& text);
  void DoFind(bool next, const std::wstring& text);

  // Opening and closing the archive, and the helpers every command shares.
  void DoOpenArchive(const std::wstring& path);
  void OpenArchive();
  // File > Open's steps once the user has named the archive.
  void OpenChosenArchive(const std::wstring& path);
  void CloseArchive();
  int GetFileIndex(int row);
  int64_t GetFileSizeByName(const std::wstring& path);
  void ShowError(const std::wstring& message);
  // Runs several commands as one: the archive is held, and its directory found unchanged, once
  // for them all. When another program has changed it, `commands` do not run.
  void HoldArchiveWhile(const std::function<void()>& commands);

  // The editing commands and their per-layout workers.
  void ExtractFiles();
  // Writes entry `index` of the open archive file `img` into `folder`, through the batch's
  // `buffer`.
  void DoExtractFile(IFile& img, int index, const std::wstring& folder, SectorBuffer& buffer);
  void AddFiles();
  // Add's steps once the user has named the files.
  void AddChosenFiles(const std::vector<std::wstring>& files);
  // The same for files some of which may be new data for entries; `done` counts the files
  // through, also when the batch fails partway.
  void AppendChosenFiles(const std::vector<AppendedFile>& files, size_t& done);
  // Each appends one file, through the files and the buffer the batch shares.
  void DoAddFile(AddBatch& batch, const std::wstring& fileName);
  void DoAddFileV2(AddBatch& batch, const std::wstring& fileName);
  void ReplaceFile();
  // Writes each file over its entry's area, all through one record beside the archive.
  void ReplaceInPlace(const std::vector<InPlaceReplacement>& replacements);
  // Version 2: appends `replacement` to `img` and points entry `index` at it.
  void RelocateData(IFile& img, int index, IFile& replacement, SectorBuffer& buffer);
  void DeleteFiles();
  // Both take the entry indices to remove, largest first, and write the directory once.
  void DoDeleteFiles(const std::vector<int>& indices);
  void DoDeleteFilesV2(const std::vector<int>& indices);
  void RenameFile();
  void DoRenameFile(int index, const std::wstring& name);
  void DoRenameFileV2(int index, const std::wstring& name);
  void RebuildArchive();
  void DoRebuildArchive();
  void DoRebuildArchiveV2();

  // The shell association and the auxiliary windows.
  void MakeAssoc();
  void RemoveAssoc();
  void miOptionsClick();
  void miAboutClick();
  void miDoHelpClick();

 private:
  // UpdateDisplay, with the caret and the selection on the row of entry `caretEntry` when it
  // is 0 or more, instead of on the row number that held the caret.
  void RefillList(int caretEntry);
  // Step `n` of a command's count, written by `text` behind `prefix`, goes to the status bar,
  // and the window repaints, only at the steps `pace` picks: the text is not even made for
  // the others.
  void ShowProgress(ProgressPace& pace, int n, const wchar_t* prefix, ProgressText text);
  // After a command failed partway, the record and the list are brought back to what is on
  // disk; the command's own error is the one the user sees.
  void RereadAfterFailure();
  // Holds the open archive for a command that reads or writes it, once the user has answered
  // its dialogs, and makes sure the directory on disk is still the one in memory. When another
  // program has changed it, the archive is read again and the user told; there is no hold
  // then, and the command stops without touching the archive.
  std::unique_ptr<ArchiveHold> HoldArchive(LockKind kind);
  // Writes entry `index` renamed at `position` of `path`, then shows it.
  void RenameRecord(const std::wstring& path, int64_t position, int index,
                    const std::wstring& name);
  // Writes the new file `to`: `head`, then each entry's sectors from `from` where `rebuilt`
  // puts them, with progress; `created` tells whether `to` was made.
  void WriteRebuilt(const std::wstring& from, const std::wstring& to,
                    const std::vector<unsigned char>& head,
                    const std::vector<TIMGFileEntry>& rebuilt, bool& created);

  Platform& p_;
  TfmSplash fmSplash_;
  ArchiveHold* hold_ = nullptr;  // while a command holds the archive
  bool busy_ = false;            // as Working last set it
};

}  // namespace vandrel
