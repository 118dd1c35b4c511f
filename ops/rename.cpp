// Renaming an entry: exactly its 32-byte record is rewritten in place.
#include <string>

#include "app/main_window.h"
#include "archive/img_archive.h"
#include "ops/archive_hold.h"
#include "ops/directory_io.h"
#include "ops/entry_name.h"
#include "platform/codepage.h"

namespace vandrel {
namespace {

constexpr wchar_t kCaption[] = L"Rename...";
constexpr wchar_t kTooLong[] = L"Names have a max length of 24";
constexpr wchar_t kNotInCodePage[] =
    L"The name holds a character that archive names cannot hold; nothing was changed";
constexpr wchar_t kNotAFileName[] =
    L"The name could not be a file name: it must not be empty, a device name such as CON or "
    L"LPT1, or hold \\ / : * ? \" < > |; nothing was changed";
constexpr wchar_t kRenamed[] = L"File renamed.";

const wchar_t* Refusal(NameProblem problem) {
  switch (problem) {
    case NameProblem::TooLong:
      return kTooLong;
    // Stored as question marks, the name would not be the one the user typed.
    case NameProblem::NotInCodePage:
      return kNotInCodePage;
    // Extraction could never write the entry.
    case NameProblem::NotAFileName:
      return kNotAFileName;
    case NameProblem::None:
      break;
  }
  return nullptr;
}

}  // namespace

void TfmMain::RenameFile() {
  if (p_.list.SelectedCount() != 1) return;
  const int index = GetFileIndex(p_.list.Caret());
  const std::wstring old = NameText(IMGArchive.Files.at(static_cast<size_t>(index)));
  auto name = p_.dialogs.InputBox(kCaption, L"Enter new name for '" + old + L"'...", old);
  if (!name) return;
  if (const wchar_t* refusal = Refusal(CheckEntryName(*name))) {
    ShowError(refusal);
    return;
  }
  const auto hold = HoldArchive(LockKind::Exclusive);
  if (!hold) return;
  if (IMGArchive.bVersion2)
    DoRenameFileV2(index, *name);
  else
    DoRenameFile(index, *name);
}

// The record on disk first; the one in memory only once the disk holds it. A failure after
// the write may have landed is followed by a re-read, so the list shows what the archive holds.
void TfmMain::RenameRecord(const std::wstring& path, int64_t position, int index,
                           const std::wstring& name) {
  Working(true);
  TIMGFileEntry renamed = IMGArchive.Files.at(static_cast<size_t>(index));
  SetNameBytes(renamed, codepage::ToBytes(name));
  try {
    auto file = p_.files.Open(path, FileMode::ReadWrite, FileKind::Own);
    WriteEntryAt(*file, position, renamed);
    file->Close();
  } catch (...) {
    RereadAfterFailure();
    throw;
  }
  IMGArchive.Files[static_cast<size_t>(index)] = renamed;
  UpdateDisplay();
  Status(kRenamed);
  Working(false);
}

void TfmMain::DoRenameFile(int index, const std::wstring& name) {
  RenameRecord(IMGArchive.DIRFile, index * kEntrySize, index, name);
}

void TfmMain::DoRenameFileV2(int index, const std::wstring& name) {
  RenameRecord(IMGArchive.IMGFile, SlotPositionV2(index), index, name);
}

}  // namespace vandrel
