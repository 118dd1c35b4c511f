// Renaming an entry: exactly its 32-byte record is rewritten in place.
#include <optional>
#include <string>

#include "app/main_window.h"
#include "archive/img_archive.h"
#include "ops/archive_hold.h"
#include "ops/directory_io.h"
#include "ops/entry_name.h"
#include "platform/codepage.h"
#include "platform/errors.h"

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

// The game reads A to Z and a to z alike, so one of two such entries would hide the other.
std::wstring TakenBy(const std::wstring& other) {
  return L"Another entry is already named " + Quoted(other) +
         L" (the letters A to Z and a to z count as the same); nothing was changed";
}

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

// The entry other than `index` that already has `name`, or -1. Compared as the bytes it would be
// stored as; an entry may take its own name in another case.
int HolderOf(const std::wstring& name, int index) {
  const std::string bytes = codepage::ToBytes(name);
  for (size_t other = 0; other < IMGArchive.Files.size(); ++other)
    if (static_cast<int>(other) != index &&
        SameEntryName(NameBytes(IMGArchive.Files[other]), bytes))
      return static_cast<int>(other);
  return -1;
}

}  // namespace

void TfmMain::RenameFile() {
  if (p_.list.SelectedCount() != 1) return;
  const int index = GetFileIndex(p_.list.Caret());
  const std::wstring old = NameText(IMGArchive.Files.at(static_cast<size_t>(index)));
  const std::wstring prompt = L"Enter new name for '" + old + L"'...";
  std::optional<std::wstring> name = p_.dialogs.InputBox(kCaption, prompt, old);
  for (;;) {
    if (!name) return;
    if (const wchar_t* refusal = Refusal(CheckEntryName(*name))) {
      ShowError(refusal);
      return;
    }
    const int other = HolderOf(*name, index);
    if (other < 0) break;
    // Asked again with what was typed, so that a slip of one letter is mended, not retyped.
    ShowError(TakenBy(NameText(IMGArchive.Files[static_cast<size_t>(other)])));
    name = p_.dialogs.InputBox(kCaption, prompt, *name);
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
