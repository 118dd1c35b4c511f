// The About window: the icon, the credits and the link to the maker's web site.
#include "app/main_window.h"
#include "app/texts.h"

namespace vandrel {
namespace {

enum AboutControl : int { imgIcon = 1, lblAbout, lblURL };

constexpr wchar_t kAboutCaption[] = L"О программе Vandrel ";
constexpr wchar_t kCredits[] =
    L"Code by Ilya Marten\n"
    L"Splash by Vera Sokolin\n"
    L"\n"
    L"\n"
    L"Thanks to all our testers";

ToolWindowDesign AboutLayout() {
  return {kAboutCaption,
          208,
          117,
          {
              {imgIcon, ControlKind::AppIcon, {8, 8, 32, 32}, L""},
              {lblAbout, ControlKind::Label, {48, 8, 145, 81}, kCredits},
              {lblURL, ControlKind::Link, {48, 96, 145, 13}, text::kMakerDomain},
          }};
}

}  // namespace

void TfmMain::miAboutClick() {
  auto FormCreate = [](IToolWindow& fmAbout) {
    fmAbout.SetIconFromResource();
    fmAbout.CentreOnScreen();
  };
  auto lblURLClick = [this](IToolWindow&, int control) {
    if (control == lblURL) p_.shell.Execute(L"open", text::kMakerSiteAddress, L"");
  };
  p_.toolWindows.ShowModal(AboutLayout(), {FormCreate, lblURLClick});
}

}  // namespace vandrel
