#include "app/main_window.h"

namespace vandrel {

// The Options and About windows and the help prompt arrive with their own change; until then
// their menu items do nothing.
void TfmMain::miOptionsClick() {}
void TfmMain::miAboutClick() {}
void TfmMain::miDoHelpClick() {}

}  // namespace vandrel
