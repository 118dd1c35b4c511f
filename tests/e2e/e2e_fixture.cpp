#include "tests/e2e/e2e_fixture.h"

#include <filesystem>

namespace vandrel::e2e {
namespace {

std::wstring CaseFolderName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (auto& c : name)
    if (c == '/') c = '_';
  return std::wstring(name.begin(), name.end());
}

void ForgetEverything() {
  DeleteTree(HKEY_CURRENT_USER, L"SOFTWARE\\Quarrymoor");
  DeleteTree(HKEY_CLASSES_ROOT, kTypeKey);
  DeleteTree(HKEY_CLASSES_ROOT, kExtensionKey);
}

}  // namespace

E2eTest::E2eTest() : folder_(L"C:\\e2e\\" + CaseFolderName()) {
  ForgetEverything();
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(folder_), ignored);
  std::filesystem::create_directories(std::filesystem::path(folder_));
}

E2eTest::~E2eTest() {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(folder_), ignored);
}

std::wstring E2eTest::OutputPath(const std::wstring& name) {
  std::wstring folder = HostPath(VANDREL_E2E_OUTPUT);
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(folder), ignored);
  return folder + L"\\" + name;
}

std::unique_ptr<Program> E2eTest::StartToMainWindow(const std::vector<std::wstring>& arguments,
                                                    HWND& window) const {
  MarkWarningShown();
  // The splash would only hold up the cases that are not about it.
  if (!Setting(L"bShowSplash")) WriteDword(HKEY_CURRENT_USER, kSettingsKey, L"bShowSplash", 0);
  auto program = std::make_unique<Program>(arguments);
  window = program->MainWindow();
  // Start-up done: input from here on meets a window that has finished opening its archive.
  if (window) WaitForInputIdle(program->process(), static_cast<DWORD>(kPatience.count()));
  return program;
}

bool E2eTest::CloseAndWait(const Program& program) {
  program.Close();
  auto code = program.WaitForExit();
  return code && *code == 0;
}

}  // namespace vandrel::e2e
