// Start-up and exit of the main window: the settings are loaded from the registry when the
// window is created and saved when it is destroyed.
#include "app/main_window.h"
#include "app/options.h"
#include "app/random.h"
#include "app/registry_key.h"
#include "app/settings_key.h"
#include "app/texts.h"
#include "platform/paths.h"

namespace vandrel {
namespace {

namespace key = settings_key;

constexpr wchar_t kReadyStatus[] = L"Vandrel " VANDREL_VERSION L" готово";
constexpr wchar_t kVersionText[] = L"" VANDREL_VERSION;
constexpr wchar_t kFirstRunWarning[] =
    L"Пожалуйста забекапте файлы прежде, чем удаляеть них!\r\n\r\n"
    L"Если Вы удалили файл, не поможет возвращение к оригиналу, если Вы не извлекали их. "
    L"Повторное установление GTA будет единственным способом вернуть их.\r\n\r\n"
    L"Вы предупреждены.            ";

void ReadTextIfPresent(RegistryKey& settings, const wchar_t* name, std::wstring& field) {
  if (settings.ValueExists(name)) field = settings.ReadString(name);
}

// Flags count as set only when stored as 1; any other number is off.
bool ReadFlag(RegistryKey& settings, const wchar_t* name) {
  return settings.ReadInteger(name) == 1;
}

void LoadSettings(Platform& p) {
  RegistryKey settings(p.registry, RegRoot::CurrentUser, key::kPath);
  if (!settings.ValueExists(key::kShowSplash)) settings.WriteInteger(key::kShowSplash, 1);
  Options.bShowSplash = ReadFlag(settings, key::kShowSplash);
  settings.WriteString(key::kLocation, paths::Folder(p.files.ProgramPath()));
  settings.WriteString(key::kVersion, kVersionText);
  ReadTextIfPresent(settings, key::kLastOpenDir, Options.LastOpenDir);
  ReadTextIfPresent(settings, key::kLastFileDir, Options.LastFileDir);
  ReadTextIfPresent(settings, key::kLastFindStr, Options.LastFindStr);
  if (settings.ValueExists(key::kSortType))
    Options.SortType = ReadFlag(settings, key::kSortType) ? kSortByName : kSortByDirectory;
  // Only the presence of the mark counts, so deleting it brings the warning back.
  if (!settings.ValueExists(key::kWarningShown)) {
    settings.WriteInteger(key::kWarningShown, 1);
    p.dialogs.MessageBox(MessageKind::Warning, text::kWarningCaption, kFirstRunWarning);
  }
  if (settings.ValueExists(key::kAssocIMG)) {
    Options.bAssocIMG = ReadFlag(settings, key::kAssocIMG);
  } else {
    Options.bAssocIMG = true;
    settings.WriteInteger(key::kAssocIMG, 1);
  }
}

}  // namespace

void TfmMain::StartUp(const std::vector<std::wstring>& arguments) {
  FormCreate(arguments);
  if (Options.bShowSplash)
    fmSplash_.FormCreate();
  else
    p_.window.Show();
}

// Whatever fails ends the start-up at that step; what was loaded so far stays in use.
void TfmMain::FormCreate(const std::vector<std::wstring>& arguments) {
  Guarded([&] {
    p_.window.SetCaption(std::wstring(text::kOpenCaptionPrefix) + text::kMakerDomain);
    p_.window.SetAppTitle(text::kAppTitle);
    Status(kReadyStatus);
    p_.window.SetIconFromResource();
    p_.window.CentreOnScreen();
    Randomize(p_.system.ClockSeed());
    LoadSettings(p_);
    MakeAssoc();
    // A folder or a missing path is passed over without a word.
    if (!arguments.empty() && p_.files.FileExists(arguments.front()))
      DoOpenArchive(arguments.front());
  });
}

// The remembered folders, the search text and the order; what fails leaves the rest unsaved.
void TfmMain::FormDestroy() {
  Guarded([&] {
    RegistryKey settings(p_.registry, RegRoot::CurrentUser, key::kPath);
    settings.WriteString(key::kLastOpenDir, Options.LastOpenDir);
    settings.WriteString(key::kLastFileDir, Options.LastFileDir);
    settings.WriteString(key::kLastFindStr, Options.LastFindStr);
    settings.WriteInteger(key::kSortType, Options.SortType == kSortByName ? 1 : 0);
  });
}

}  // namespace vandrel
