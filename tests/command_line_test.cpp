// Splitting the command line the system hands over into the program's arguments.
#include "app/command_line.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

struct CommandLineCase {
  const wchar_t* commandLine;
  std::vector<std::wstring> arguments;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, SplitsAtBlanksOutsideQuotesAndDropsTheProgramName) {
  EXPECT_EQ(ProgramArguments(GetParam().commandLine), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineTest,
    ::testing::Values(
        CommandLineCase{L"", {}}, CommandLineCase{L"Vandrel.exe", {}},
        CommandLineCase{L"\"C:\\Program Files\\Vandrel\\Vandrel.exe\"   ", {}},
        CommandLineCase{L"Vandrel.exe gta3.img", {L"gta3.img"}},
        // The association's command: the program path unquoted, the archive's path quoted.
        CommandLineCase{L"C:\\Vandrel\\Vandrel.exe \"C:\\My Games\\GTA 3\\models\\gta3.img\"",
                        {L"C:\\My Games\\GTA 3\\models\\gta3.img"}},
        CommandLineCase{L"\"C:\\Program Files\\Vandrel.exe\" \"C:\\a b\\x.img\" \tsecond  third",
                        {L"C:\\a b\\x.img", L"second", L"third"}},
        // Quotes may sit inside an argument; a backslash before a quote escapes nothing.
        CommandLineCase{L"v.exe C:\\\"My Games\"\\x.img \"C:\\dir\\\"",
                        {L"C:\\My Games\\x.img", L"C:\\dir\\"}},
        CommandLineCase{L"v.exe \"C:\\open quote.img", {L"C:\\open quote.img"}}));

}  // namespace
}  // namespace vandrel
