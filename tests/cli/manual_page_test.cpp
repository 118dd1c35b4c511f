// The manual page keeps up with --help: every command has its entry there, naming each of its
// arguments and options; the options of the program itself and every exit status are there
// too. And --version gives the version the window's title shows.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/cli/cli_fixture.h"

namespace vandrel {
namespace {

using namespace testing;

// The page's source with roff's minus signs (\-) as plain dashes.
std::string ReadManualPage() {
  std::ifstream in(VANDREL_MANUAL_PAGE);
  std::stringstream read;
  read << in.rdbuf();
  std::string page = read.str();
  for (size_t at = 0; (at = page.find("\\-", at)) != std::string::npos;) page.erase(at, 1);
  return page;
}

// The text from `start` on up to the next line beginning with one of `ends`, or to the end.
std::string Part(const std::string& page, const std::string& start,
                 const std::vector<std::string>& ends) {
  const size_t begin = page.find(start);
  if (begin == std::string::npos) return "";
  size_t end = page.size();
  for (const auto& next : ends) end = std::min(end, page.find("\n" + next, begin + start.size()));
  return page.substr(begin, end - begin);
}

// The names a help screen lists in one section ("Subcommands:", "Options:", "Positionals:"):
// the first word of each item, split at commas ("-o,--output").
std::vector<std::string> Listed(const std::string& help, const std::string& section) {
  std::vector<std::string> names;
  const std::string heading = "\n" + section + "\n";
  const size_t begin = help.find(heading);
  if (begin == std::string::npos) return names;
  const size_t from = begin + heading.size();
  std::istringstream lines(help.substr(from, help.find("\n\n", from) - from));
  for (std::string line; std::getline(lines, line);) {
    if (line.size() < 3 || line.compare(0, 2, "  ") != 0 || line[2] == ' ') continue;
    std::istringstream words(line.substr(2, line.find(' ', 2) - 2));
    for (std::string name; std::getline(words, name, ',');) names.push_back(name);
  }
  return names;
}

class ManualPageTest : public CliTest {};

TEST_F(ManualPageTest, NamesEveryCommandOptionArgumentAndExitStatus) {
  const std::string page = ReadManualPage();
  ASSERT_FALSE(page.empty()) << VANDREL_MANUAL_PAGE;
  const CliResult help = Cli({"--help"});
  const std::vector<std::string> commands = Listed(help.out, "Subcommands:");
  ASSERT_EQ(commands.size(), 10u) << help.out;

  std::vector<std::string> entryStarts = {".SH"};
  for (const auto& command : commands) entryStarts.push_back(".BI " + command + " ");
  for (const auto& command : commands) {
    const std::string entry = Part(page, "\n.BI " + command + " ", entryStarts);
    EXPECT_FALSE(entry.empty()) << command << " has no entry";
    if (entry.empty()) continue;
    const std::string own = Cli({command, "--help"}).out;
    std::vector<std::string> names = Listed(own, "Positionals:");
    for (const auto& option : Listed(own, "Options:"))
      if (option != "-h" && option != "--help") names.push_back(option);
    for (const auto& name : names)
      EXPECT_NE(entry.find(name), std::string::npos) << command << " " << name;
  }

  const std::string options = Part(page, "\n.SH OPTIONS", {".SH"});
  for (const auto& option : Listed(help.out, "Options:"))
    EXPECT_NE(options.find(option), std::string::npos) << option;
  const std::string statuses = Part(page, "\n.SH EXIT STATUS", {".SH"});
  for (int status : {cli::kExitOk, cli::kExitFailed, cli::kExitUsage, cli::kExitProblems})
    EXPECT_NE(statuses.find("\n.B " + std::to_string(status) + "\n"), std::string::npos) << status;
}

TEST_F(ManualPageTest, VersionIsTheOneInTheWindowsTitle) {
  const CliResult version = Cli({"--version"});
  EXPECT_EQ(version.status, cli::kExitOk);
  EXPECT_EQ(version.out, "vandrel-cli 2.0\n");
}

}  // namespace
}  // namespace vandrel
