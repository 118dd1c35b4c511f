#include "archive/new_archive.h"

#include "archive/img_format.h"
#include "ops/sector_copy.h"
#include "platform/errors.h"

namespace vandrel {
namespace {

// A folder or any other directory entry of that name counts too: nothing is overwritten.
void RefuseExisting(IFileSystem& files, const std::wstring& path) {
  if (files.FindSize(path)) throw AppError(Quoted(path) + L" already exists.");
}

// `head` at the start, zero bytes to the end of the `sectors`.
void CreateZeroed(IFileSystem& files, const std::wstring& path, const TIMGHeader* head,
                  int64_t sectors) {
  auto file = files.Open(path, FileMode::Create);
  int64_t written = 0;
  if (head) {
    unsigned char bytes[kHeaderSize];
    EncodeHeader(*head, bytes);
    file->Write(bytes, sizeof bytes);
    written = kHeaderSize;
  }
  SectorBuffer buffer;
  buffer.WriteZeros(*file, sectors * kSectorSize - written);
  file->Close();
}

}  // namespace

void CreateEmptyArchive(IFileSystem& files, const std::wstring& imgPath, bool version2) {
  RefuseExisting(files, imgPath);
  if (version2) {
    const TIMGHeader header;
    CreateZeroed(files, imgPath, &header, FirstDataSectorV2(0));
    return;
  }
  const std::wstring dirPath = DirPathFor(imgPath);
  RefuseExisting(files, dirPath);
  // The .dir last: an .img without it does not open as an archive, so a failure between the
  // two leaves nothing that looks like one.
  CreateZeroed(files, imgPath, nullptr, 1);
  CreateZeroed(files, dirPath, nullptr, 0);
}

}  // namespace vandrel
