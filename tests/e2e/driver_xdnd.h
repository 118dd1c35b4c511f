#pragma once
// Under Wine, files dropped on a window from another X client, as a Linux desktop's file
// manager drops them: Wine hands such a drop to a window taking WM_DROPFILES, where its OLE
// drag from inside the process reaches only windows with an OLE drop target.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vandrel::e2e {

// Drops the files at a point of the screen from the Wine suite's drag source; the drop's
// effect (none when the window did not take it). Nothing when this is not Wine or the source
// was not built.
std::optional<DWORD> DropFromXClient(POINT screen, const std::vector<std::wstring>& paths);

}  // namespace vandrel::e2e
