// Help: the read-me file beside the program, opened in Notepad when the user wants it.
#include "app/main_window.h"
#include "app/texts.h"
#include "platform/paths.h"

namespace vandrel {
namespace {

constexpr wchar_t kInformationCaption[] = L"Information";
constexpr wchar_t kReadMeName[] = L"ReadMe.txt";
constexpr wchar_t kReadMeMissing[] = L"The Vandrel ReadMe file is missing! (ReadMe.txt)";

std::wstring HelpPrompt() {
  return std::wstring(
             L"Единственная справка, идущая с программой находится в файле ReadMe.\r\n"
             L"Для дополнительной справки, используете форумы в ") +
         text::kForumDomain + L"\r\n\r\nОткрыть файл ReadMe Vandrel?       ";
}

}  // namespace

void TfmMain::miDoHelpClick() {
  if (p_.dialogs.MessageBox(MessageKind::Information, kInformationCaption, HelpPrompt()) !=
      MessageResult::Yes)
    return;
  std::wstring readMe = paths::Folder(p_.files.ProgramPath()) + kReadMeName;
  if (!p_.files.FileExists(readMe)) {
    ShowError(kReadMeMissing);
    return;
  }
  // The path goes unquoted, as Notepad takes the rest of its command line as the file name.
  p_.shell.Execute(L"open", L"Notepad", readMe);
}

}  // namespace vandrel
