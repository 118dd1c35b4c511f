#include "archive/new_archive.h"

#include "archive/img_format.h"
#include "ops/sector_copy.h"
#include "platform/errors.h"

namespace vandrel {
namespace {

// A folder or any other directory entry of that name counts too: nothing is overwritten.
void RefuseExisting(IFileSystem& files, const std::wstring& path) {
  if (files.FindSize(path)) throw AppError(L"'" + path + L"' already exists.");
}

void CreateEmpty(IFileSystem& files, const std::wstring& path) {
  files.Open(path, FileMode::Create)->Close();
}

void CreateEmptyV2(IFileSystem& files, const std::wstring& path) {
  auto img = files.Open(path, FileMode::Create);
  TIMGHeader header;
  unsigned char bytes[kHeaderSize];
  EncodeHeader(header, bytes);
  img->Write(bytes, sizeof bytes);
  SectorBuffer buffer;
  buffer.WriteZeros(*img, FirstDataSectorV2(0) * kSectorSize - kHeaderSize);
  img->Close();
}

}  // namespace

void CreateEmptyArchive(IFileSystem& files, const std::wstring& imgPath, bool version2) {
  RefuseExisting(files, imgPath);
  if (version2) {
    CreateEmptyV2(files, imgPath);
    return;
  }
  const std::wstring dirPath = DirPathFor(imgPath);
  RefuseExisting(files, dirPath);
  // The .dir last: an .img without it does not open as an archive, so a failure between the
  // two leaves nothing that looks like one.
  CreateEmpty(files, imgPath);
  CreateEmpty(files, dirPath);
}

}  // namespace vandrel
