// The shell association of .img files below HKEY_CLASSES_ROOT.
#include <vector>

#include "app/main_window.h"
#include "app/options.h"
#include "app/registry_key.h"

namespace vandrel {
namespace {

constexpr wchar_t kTypeKey[] = L"\\GTA.ImageArchive\\";
constexpr wchar_t kIconKey[] = L"\\GTA.ImageArchive\\DefaultIcon\\";
constexpr wchar_t kShellKey[] = L"\\GTA.ImageArchive\\shell\\";
constexpr wchar_t kCommandKey[] = L"\\GTA.ImageArchive\\shell\\Open\\command\\";
constexpr wchar_t kExtensionKey[] = L"\\.img\\";
constexpr wchar_t kTypeName[] = L"GTA.ImageArchive";
constexpr wchar_t kDefaultVerb[] = L"Open";
// The program file's second icon resource is the archive document's.
constexpr wchar_t kDocumentIcon[] = L",1";
// The shell puts the archive's path in place of %1; the quotes keep a path with blanks whole.
constexpr wchar_t kPathArgument[] = L" \"%1\"";

void WriteDefaultValue(IRegistry& registry, const std::wstring& path, const std::wstring& text) {
  RegistryKey key(registry, RegRoot::ClassesRoot, path);
  key.WriteString(L"", text);
}

// Depth first, last subkey first; failures are ignored, a missing key is no error.
void DeleteKeyWithSubkeys(IRegistry& registry, const std::wstring& path) {
  if (auto key = registry.OpenKey(RegRoot::ClassesRoot, path)) {
    std::vector<std::wstring> names = key->SubkeyNames();
    for (auto name = names.rbegin(); name != names.rend(); ++name)
      DeleteKeyWithSubkeys(registry, path + *name + L"\\");
  }
  registry.DeleteKey(RegRoot::ClassesRoot, path);
}

}  // namespace

void TfmMain::MakeAssoc() {
  if (!Options.bAssocIMG) return;
  std::wstring program = p_.files.ProgramPath();
  WriteDefaultValue(p_.registry, kIconKey, program + kDocumentIcon);
  WriteDefaultValue(p_.registry, kShellKey, kDefaultVerb);
  WriteDefaultValue(p_.registry, kCommandKey, program + kPathArgument);
  WriteDefaultValue(p_.registry, kExtensionKey, kTypeName);
}

// Whatever other programs put below .img goes with it.
void TfmMain::RemoveAssoc() {
  DeleteKeyWithSubkeys(p_.registry, kTypeKey);
  DeleteKeyWithSubkeys(p_.registry, kExtensionKey);
}

}  // namespace vandrel
