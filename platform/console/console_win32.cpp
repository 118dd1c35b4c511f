// The console's collation and clock on Windows: the window's own.
#include <io.h>

#include <cstdio>

#include "platform/console/console_ui.h"
#include "platform/win32/services_win32.h"

namespace vandrel::console {

std::unique_ptr<ISystem> MakeConsoleSystem() { return std::make_unique<win32::System>(); }

bool ErrorStreamIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace vandrel::console
