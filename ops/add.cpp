// Adding files as new entries.
#include "app/main_window.h"

namespace vandrel {

void TfmMain::AddFiles() {}

void TfmMain::DoAddFile(const std::wstring&) {}

void TfmMain::DoAddFileV2(const std::wstring&) {}

}  // namespace vandrel
