#include "app/main_window.h"

namespace vandrel {

// Deleting entries arrives with its own change; until then the command does nothing.
void TfmMain::DeleteFiles() {}

}  // namespace vandrel
