// Files dropped on the main window: an archive alone opens, other files join the open archive.
#include <string>
#include <vector>

#include "app/latin_case.h"
#include "app/main_window.h"
#include "archive/img_archive.h"

namespace vandrel {
namespace {

constexpr wchar_t kNotFiles[] = L"Only files can be dropped here, not folders.";
constexpr wchar_t kMixed[] = L"Drop an archive alone to open it, or other files alone to add them.";
constexpr wchar_t kNoArchive[] = L"Open an archive first, then drop the files to add.";

bool HasExtension(const std::wstring& path, const wchar_t* extension) {
  const std::wstring upper = UpperLatin(path);
  const std::wstring wanted = UpperLatin(extension);
  return upper.size() > wanted.size() &&
         upper.compare(upper.size() - wanted.size(), wanted.size(), wanted) == 0;
}

// The .img a dropped archive file stands for: itself, or the .img beside a .dir; empty for a
// file that is not an archive's.
std::wstring ArchiveOf(const std::wstring& path) {
  if (HasExtension(path, L".img")) return path;
  if (HasExtension(path, L".dir")) return path.substr(0, path.size() - 4) + L".img";
  return {};
}

}  // namespace

void TfmMain::FormDropFiles(const std::vector<std::wstring>& dropped) {
  // A command or the find dialog holds the window: what is dropped meanwhile is not taken.
  if (busy_ || dropped.empty()) return;
  std::wstring archive;
  bool archives = false, others = false;
  for (const std::wstring& path : dropped) {
    if (!p_.files.FileExists(path)) return Status(kNotFiles);
    const std::wstring img = ArchiveOf(path);
    if (img.empty()) {
      others = true;
    } else {
      // An .img dropped with its own .dir is still one archive.
      if (archives && UpperLatin(img) != UpperLatin(archive)) others = true;
      archives = true;
      archive = img;
    }
  }
  if (archives && others) return Status(kMixed);
  if (archives) return OpenChosenArchive(archive);
  if (!IMGArchive.bLoaded) return Status(kNoArchive);
  AddChosenFiles(dropped);
}

}  // namespace vandrel
