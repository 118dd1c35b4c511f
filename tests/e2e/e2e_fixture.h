#pragma once
// The fixture of every end-to-end case: the program's settings and the .img association are
// removed before the case, and the case gets a folder of its own (under C:\e2e, which the
// folder browser can reach), removed afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "tests/e2e/driver.h"
#include "tests/e2e/test_archives.h"

namespace vandrel::e2e {

inline constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Quarrymoor\\Vandrel";
inline constexpr wchar_t kTypeKey[] = L"GTA.ImageArchive";
inline constexpr wchar_t kExtensionKey[] = L".img";

class E2eTest : public ::testing::Test {
 protected:
  E2eTest();
  ~E2eTest() override;

  const std::wstring& folder() const { return folder_; }
  // A path inside the case's folder.
  std::wstring Path(const std::wstring& name) const { return folder_ + L"\\" + name; }
  // A path in the build's test output, kept after the run (screenshots).
  static std::wstring OutputPath(const std::wstring& name);

  std::optional<RegistryValue> Setting(const std::wstring& name) const {
    return ReadValue(HKEY_CURRENT_USER, kSettingsKey, name);
  }
  // As after an earlier run: the first-run warning has been seen.
  void MarkWarningShown() const {
    WriteDword(HKEY_CURRENT_USER, kSettingsKey, L"bWarningShown", 1);
  }

  // Starts the program and waits for its main window (the warning already seen, the splash
  // off unless the case set it); the window is nullptr when it did not appear.
  std::unique_ptr<Program> StartToMainWindow(const std::vector<std::wstring>& arguments,
                                             HWND& window) const;
  // Closes the program and waits for it to end; false when it did not end cleanly.
  static bool CloseAndWait(const Program& program);

 private:
  std::wstring folder_;
};

}  // namespace vandrel::e2e
