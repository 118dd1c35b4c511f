// Opening and closing the archive, and the small helpers the main window shares.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>
#include <vector>

#include "app/main_window.h"
#include "app/options.h"
#include "app/texts.h"
#include "archive/errors.h"
#include "archive/img_archive.h"
#include "archive/interrupted.h"
#include "ops/archive_hold.h"
#include "platform/paths.h"

namespace vandrel {
namespace {

constexpr wchar_t kClosedCaption[] = L"Vandrel Русская версия     ";
constexpr wchar_t kClosedStatus[] = L"Архив закрыт   ";
constexpr wchar_t kLoadedV1[] = L"Архив вер.1загружен.     ";
constexpr wchar_t kLoadedV2[] = L"Архив вер.2 загружен.    ";
constexpr wchar_t kDirMissing[] = L"Unable to find DIR file!\n\n[";
constexpr wchar_t kNotAFile[] =
    L" is a link, a pipe or a device, not a regular file, so it cannot be opened as an archive";

// Only a regular file of its own is an archive: a pipe would hold every command for ever, a
// device would never end, and through a link the commands would change a file elsewhere.
std::unique_ptr<IFile> OpenArchiveFile(IFileSystem& files, const std::wstring& path) {
  try {
    return files.Open(path, FileMode::ReadOnly, FileKind::Own);
  } catch (const InOutError& error) {
    if (error.Code() != kErrNotAFile) throw;
    throw AppError(Quoted(path) + kNotAFile);
  }
}

// The records come through a fixed buffer, so the directory is held only once, decoded.
constexpr size_t kEntriesPerRead = 2048;

std::vector<TIMGFileEntry> ReadEntries(IFile& file, int32_t count) {
  std::vector<TIMGFileEntry> entries(static_cast<size_t>(count));
  std::vector<unsigned char> bytes(std::min(kEntriesPerRead, entries.size()) * kEntrySize);
  for (size_t first = 0; first < entries.size(); first += kEntriesPerRead) {
    const size_t part = std::min(kEntriesPerRead, entries.size() - first);
    file.Read(bytes.data(), part * kEntrySize);
    for (size_t i = 0; i < part; ++i) entries[first + i] = DecodeEntry(&bytes[i * kEntrySize]);
  }
  return entries;
}

// A damaged count must not make us reserve memory for a directory the file cannot hold.
void CheckDirectoryFits(IFile& file, int32_t count) {
  if (count < 0) throw RangeError();
  if (kHeaderSize + count * kEntrySize > file.Length()) throw InOutError(kErrReadBeyondEnd);
}

}  // namespace

void TfmMain::DoOpenArchive(const std::wstring& path) {
  Working(true);
  CloseArchive();
  IMGArchive.IMGFile = path;
  const std::wstring pairedDir = DirPathFor(path);
  // What a change cut short left is put right before anything is read, with no other program
  // reading or changing the archive meanwhile.
  if (HasInterrupted(p_.files, path)) {
    ArchiveHold repair(p_.files, p_.system, LockKind::Exclusive, hold_);
    repair.TakeArchive(path, pairedDir);
    if (auto recovered = RecoverInterrupted(p_.files, path)) {
      repair.LetGo();
      p_.dialogs.MessageBox(MessageKind::Warning, text::kWarningCaption, *recovered);
    }
  }
  ArchiveHold hold(p_.files, p_.system, LockKind::Shared, hold_);
  hold.TakeArchive(path, pairedDir);

  auto img = OpenArchiveFile(p_.files, path);
  unsigned char head[kHeaderSize];
  img->Read(head, sizeof head);
  TIMGHeader header = DecodeHeader(head);

  const wchar_t* loaded;
  if (IsVersion2(header)) {
    IMGArchive.bVersion2 = true;
    CheckDirectoryFits(*img, header.FileCount);
    IMGArchive.FileCount = header.FileCount;
    IMGArchive.Files = ReadEntries(*img, header.FileCount);
    img->Close();
    loaded = kLoadedV2;
  } else {
    IMGArchive.bVersion2 = false;
    img->Close();
    IMGArchive.DIRFile = DirPathFor(path);
    if (!p_.files.FileExists(IMGArchive.DIRFile)) {
      hold.LetGo();
      ShowError(kDirMissing + IMGArchive.DIRFile + L"]");
      Working(false);
      return;
    }
    auto dir = OpenArchiveFile(p_.files, IMGArchive.DIRFile);
    const int64_t records = dir->Length() / kEntrySize;
    // More records than a count can hold are more than memory can.
    if (records > INT32_MAX) throw std::bad_alloc();
    const auto count = static_cast<int32_t>(records);
    IMGArchive.FileCount = count;
    IMGArchive.Files = ReadEntries(*dir, count);
    dir->Close();
    loaded = kLoadedV1;
  }
  IMGArchive.bLoaded = true;
  UpdateDisplay();
  p_.window.SetCaption(text::kOpenCaptionPrefix + paths::FileName(path) + L" - " +
                       text::kMakerDomain);
  Status(loaded);
  Working(false);
}

void TfmMain::RereadAfterFailure() {
  const std::wstring path = IMGArchive.IMGFile;
  try {
    DoOpenArchive(path);
  } catch (...) {
    // The archive stays closed; the error that ended the command is still to be shown.
  }
}

void TfmMain::OpenArchive() {
  OpenFileRequest request;
  request.title = L"Open...";
  request.filters = {{L"GTA IMG Archive (*.img)", L"*.img"}};
  request.initialDir = Options.LastOpenDir;
  auto chosen = p_.dialogs.OpenFile(request);
  if (!chosen || chosen->empty()) return;
  OpenChosenArchive(chosen->front());
}

void TfmMain::OpenChosenArchive(const std::wstring& path) {
  Options.LastOpenDir = paths::Folder(path);
  DoOpenArchive(path);
}

void TfmMain::CloseArchive() {
  IMGArchive.bLoaded = false;
  IMGArchive.IMGFile.clear();
  IMGArchive.DIRFile.clear();
  IMGArchive.FileCount = 0;
  IMGArchive.Files.clear();
  p_.list.Clear();
  p_.window.SetCaption(kClosedCaption);
  Status(kClosedStatus);
  p_.statusBar.SetText(1, L"");
}

int TfmMain::GetFileIndex(int row) {
  std::wstring text = p_.list.Row(row);
  std::wstring number = text.substr(0, text.find(L'%'));
  size_t digits = number.size() > 0 && (number[0] == L'-' || number[0] == L'+') ? 1 : 0;
  if (digits == number.size() || number.size() > 11) throw ConvertError(number);
  for (size_t i = digits; i < number.size(); ++i)
    if (number[i] < L'0' || number[i] > L'9') throw ConvertError(number);
  long long value = std::stoll(number);
  if (value < INT32_MIN || value > INT32_MAX) throw ConvertError(number);
  return static_cast<int>(value);
}

// The whole size: its low 32 bits alone would let Replace take a file of 4 GiB and more for a
// small one and write only its start.
int64_t TfmMain::GetFileSizeByName(const std::wstring& path) {
  return p_.files.FindSize(path).value_or(-1);
}

void TfmMain::ShowError(const std::wstring& message) {
  p_.dialogs.MessageBox(MessageKind::Error, text::kErrorCaption, message);
}

}  // namespace vandrel
