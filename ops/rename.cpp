#include "app/main_window.h"

namespace vandrel {

// Renaming an entry arrives with its own change; until then the command does nothing.
void TfmMain::RenameFile() {}

}  // namespace vandrel
