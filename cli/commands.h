#pragma once
// The commands of the command line. Each opens the archive as the window does, selects rows
// and calls the very method the window's menu calls, so that the bytes on disk come out the
// same; the window's top-level handler reports what fails.
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "cli/reports.h"
#include "cli/request.h"
#include "platform/console/console_platform.h"

namespace vandrel::cli {

class Session {
 public:
  // Results go to `out`; messages to the console's error stream.
  Session(console::ConsolePlatform& console, std::ostream& out);
  // The exit status. `parse` gives the request; what it raises is reported as a command's failure.
  int Run(const std::function<Request()>& parse);

 private:
  int Dispatch(const Request& request);
  int List(const Request& request);
  int Extract(const Request& request);
  int Add(const Request& request);
  int Import(const Request& request);
  int Replace(const Request& request);
  int Rename(const Request& request);
  int Delete(const Request& request);
  int Rebuild(const Request& request);
  int New(const Request& request);
  int Check(const Request& request);

  // False when the archive did not open; the reason has been shown.
  bool Open(const std::wstring& archive);
  // Selects the rows of these entries, the caret on the first; nothing else stays selected.
  void Select(const std::vector<int>& indices);
  // Runs one of the window's commands and prints the status it ends with.
  int Edit(void (TfmMain::*command)());
  // Each file through the window's Replace or Add, as if in turn; queued where that can wait.
  void ImportFiles(const std::vector<std::wstring>& files, ImportReport& report);
  // The window's Replace of entry `alike.front()`, the first of those named as `file`.
  ImportedFile ImportReplacing(const std::wstring& file, const std::vector<int>& alike);

  console::ConsolePlatform& console_;
  Platform platform_;
  TfmMain fm_;
  std::ostream& out_;
};

}  // namespace vandrel::cli
