// Replacing one entry's data with a file.
#include "app/main_window.h"

namespace vandrel {

void TfmMain::ReplaceFile() {}

void TfmMain::DoReplaceFile(int, const std::wstring&) {}

void TfmMain::DoReplaceFileV2(int, const std::wstring&) {}

}  // namespace vandrel
