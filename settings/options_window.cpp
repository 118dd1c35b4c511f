// The Options window: the splash and the .img association switched on and off. Ok saves what
// changed at once; Cancel and the close box leave everything as it was.
#include "app/main_window.h"
#include "app/options.h"
#include "app/registry_key.h"
#include "app/settings_key.h"

namespace vandrel {
namespace {

enum OptionsControl : int {
  gbGeneral = 1,
  cbShowSplash,
  gbFileAssociation,
  cbFileAssocIMG,
  bnOk,
  bnCancel,
};

// The check boxes as the user left them.
struct Choice {
  bool showSplash = false;
  bool assocIMG = false;
};

// Each check box stands 8, 16 inside its group. The list is in tab order.
ToolWindowDesign OptionsLayout() {
  return {
      L"Options",
      175,
      138,
      {
          {gbFileAssociation, ControlKind::GroupBox, {8, 56, 161, 41}, L" File Association "},
          {cbFileAssocIMG, ControlKind::CheckBox, {16, 72, 145, 17}, L"GTA IMG Archives (*.img)"},
          {bnOk, ControlKind::Button, {8, 104, 75, 25}, L"Ok"},
          {bnCancel, ControlKind::Button, {88, 104, 75, 25}, L"Cancel"},
          {gbGeneral, ControlKind::GroupBox, {8, 8, 161, 41}, L" General "},
          {cbShowSplash, ControlKind::CheckBox, {16, 24, 137, 17}, L"Show Splash Screen"},
      }};
}

void TfmOptionsFormCreate(IToolWindow& fmOptions) {
  fmOptions.SetIconFromResource();
  fmOptions.CentreOnScreen();
  fmOptions.SetChecked(cbShowSplash, Options.bShowSplash);
  fmOptions.SetChecked(cbFileAssocIMG, Options.bAssocIMG);
}

}  // namespace

// A registry failure ends the saving where it stands: what was written stays, the rest and
// the association's refresh are skipped.
void TfmMain::miOptionsClick() {
  Choice chosen;
  auto onClick = [&chosen](IToolWindow& fmOptions, int control) {
    if (control == bnOk) {
      chosen = {fmOptions.IsChecked(cbShowSplash), fmOptions.IsChecked(cbFileAssocIMG)};
      fmOptions.EndModal(ModalResult::Ok);
    } else if (control == bnCancel) {
      fmOptions.EndModal(ModalResult::Cancel);
    }
  };
  if (p_.toolWindows.ShowModal(OptionsLayout(), {TfmOptionsFormCreate, onClick}) != ModalResult::Ok)
    return;
  {
    RegistryKey settings(p_.registry, RegRoot::CurrentUser, settings_key::kPath);
    if (chosen.showSplash != Options.bShowSplash) {
      settings.WriteInteger(settings_key::kShowSplash, chosen.showSplash ? 1 : 0);
      Options.bShowSplash = chosen.showSplash;
    }
    if (chosen.assocIMG != Options.bAssocIMG) {
      if (!chosen.assocIMG) RemoveAssoc();
      settings.WriteInteger(settings_key::kAssocIMG, chosen.assocIMG ? 1 : 0);
      Options.bAssocIMG = chosen.assocIMG;
    }
  }
  MakeAssoc();
}

}  // namespace vandrel
