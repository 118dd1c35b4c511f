#pragma once
// vandrel-cli run in-process on real files in a temporary folder, beside the window on the
// scripted platform for comparison.
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/request.h"
#include "platform/utf8.h"
#include "tests/ops_fixture.h"

namespace vandrel::testing {

struct CliResult {
  int status = -1;
  std::string out, err;
};

class CliTest : public OpsTest {
 protected:
  CliResult Cli(const std::vector<std::string>& arguments, bool progress = false) {
    return CliOn(*files, arguments, progress);
  }
  CliResult CliOn(IFileSystem& fileSystem, const std::vector<std::string>& arguments,
                  bool progress = false) {
    std::ostringstream out, err;
    const int status = cli::RunCli(arguments, out, err, progress, fileSystem);
    return {status, out.str(), err.str()};
  }
  // A path in the temporary folder, as the command line gives it.
  std::string Arg(const std::string& name) const { return ToUtf8(tmp.Path(name)); }
  static std::string Arg(const std::wstring& path) { return ToUtf8(path); }
  // In single quotes, as messages name paths. Appended piece by piece: GCC 12 warns wrongly
  // about a literal placed in front of a string.
  static std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    quoted += text;
    quoted += "'";
    return quoted;
  }

  std::unique_ptr<IFileSystem> files = MakeNativeFileSystem();
};

// A command that failed: status 1, its message on the error stream and nothing on the output.
inline ::testing::AssertionResult FailedWith(const CliResult& result, const std::string& message) {
  if (result.status == cli::kExitFailed && result.out.empty() && result.err == message + "\n")
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "status " << result.status << ", out \"" << result.out
                                       << "\", err \"" << result.err << "\"";
}

}  // namespace vandrel::testing
