// The Wine side of a drop from another X client: vandrel-xdnd-drop, a Linux program started
// through Wine, which runs a Unix executable as its own process but gives no handle to it.
// So the source writes its outcome to a file, and that file is waited for.
#include "tests/e2e/driver_xdnd.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tests/e2e/driver.h"

namespace vandrel::e2e {
namespace {

using UnixFileName = char*(CDECL*)(LPCWSTR);

// Wine's own conversion of a Windows path to the host's; nullptr when this is not Wine.
UnixFileName UnixFileNameFunction() {
  return reinterpret_cast<UnixFileName>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
}

std::wstring UnixPath(UnixFileName convert, const std::wstring& path) {
  char* unix = convert(path.c_str());
  if (!unix) return {};
  std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, unix, -1, nullptr, 0), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, unix, -1, wide.data(), static_cast<int>(wide.size()));
  HeapFree(GetProcessHeap(), 0, unix);
  wide.pop_back();
  return wide;
}

// A file of this process's own for the source's outcome, not there yet.
std::wstring OutcomePath() {
  static int drops = 0;
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"vandrel-xdnd-" +
                      std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++drops) +
                      L".txt";
  DeleteFileW(path.c_str());
  return path;
}

}  // namespace

std::optional<DWORD> DropFromXClient(POINT screen, const std::vector<std::wstring>& paths) {
#ifdef VANDREL_XDND_DROP
  const UnixFileName convert = UnixFileNameFunction();
  if (!convert) return std::nullopt;
  const std::wstring outcome = OutcomePath();
  // Wine's virtual desktop lies at the X screen's origin: its pixels are the root window's.
  std::vector<std::wstring> arguments{std::to_wstring(screen.x), std::to_wstring(screen.y),
                                      UnixPath(convert, outcome)};
  for (const auto& path : paths) arguments.push_back(UnixPath(convert, path));
  Program source(arguments, HostPath(VANDREL_XDND_DROP));
  std::string said;
  const bool told = WaitUntil(
      [&] {
        std::ifstream file{std::filesystem::path(outcome)};
        return static_cast<bool>(std::getline(file, said));
      },
      Milliseconds(20000));
  if (told) DeleteFileW(outcome.c_str());
  if (said == "dropped") return static_cast<DWORD>(DROPEFFECT_COPY);
  std::fprintf(stderr, "the X client's drop: %s\n", said.empty() ? "no outcome" : said.c_str());
  return static_cast<DWORD>(DROPEFFECT_NONE);
#else
  (void)screen, (void)paths;
  return std::nullopt;
#endif
}

}  // namespace vandrel::e2e
