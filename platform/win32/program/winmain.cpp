// The program entry: the main window is created hidden, the start-up handler runs and shows the
// splash window or the main window, and the window is destroyed when the loop has ended.
#include "app/command_line.h"
#include "app/main_window.h"
#include "platform/win32/win32_platform.h"

namespace {

constexpr wchar_t kApplicationTitle[] = L"Vandrel";

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  using namespace vandrel;
  win32::ComApartment com;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);

  win32::Win32Platform win32;
  TfmMain fmMain(win32.platform());
  win32::MainWindow& window = win32.window();
  window.SetAppTitle(kApplicationTitle);
  window.Create(fmMain);
  std::vector<std::wstring> arguments = ProgramArguments(GetCommandLineW());
  fmMain.Guarded([&] { fmMain.StartUp(arguments); });

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) window.Dispatch(message);
  window.Destroy();
  return static_cast<int>(message.wParam);
}
