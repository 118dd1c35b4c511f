// Extracting entries to files of their own.
#include "app/main_window.h"

namespace vandrel {

void TfmMain::ExtractFiles() {}

void TfmMain::DoExtractFile(int, const std::wstring&) {}

}  // namespace vandrel
