#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "platform/errors.h"
#include "platform/utf8.h"

namespace vandrel::cli {
namespace {

constexpr char kProgramName[] = "vandrel-cli";
constexpr char kDescription[] =
    "Lists, checks and edits GTA IMG archives (version 1: .img with .dir; version 2: one .img)\n"
    "with the same commands as the Vandrel window. Names may hold the wildcards * and ?, the\n"
    "letters a to z matching either case; #N names entry N.\n"
    "Exit status: 0 done, 1 the command failed, 2 bad usage, 3 check found problems.";

// Arguments as CLI11 parses them: UTF-8 bytes, turned into the program's text afterwards.
struct Arguments {
  std::string archive, output, name, newName, file, sort;
  std::vector<std::string> names, files;
  bool json = false;
  int layout = 2;
};

// Every argument names a file, a folder or an entry; bytes that are no UTF-8 name none of them.
std::wstring Text(const std::string& item) {
  if (!IsUtf8(item)) throw AppError(Quoted(FromUtf8(item)) + L" is not valid UTF-8");
  return FromUtf8(item);
}

std::vector<std::wstring> Texts(const std::vector<std::string>& items) {
  std::vector<std::wstring> texts;
  for (const auto& item : items) texts.push_back(Text(item));
  return texts;
}

CLI::App* Command(CLI::App& app, const char* name, const char* description, Arguments& a) {
  CLI::App* command = app.add_subcommand(name, description);
  command->add_option("ARCHIVE", a.archive, "The archive's .img file")->required();
  return command;
}

void AddCommands(CLI::App& app, Arguments& a) {
  CLI::App* list = Command(app, "list", "List the entries: index, name, offset, size", a);
  list->add_option("--sort", a.sort, "List in name order instead of directory order")
      ->check(CLI::IsMember({"name"}));
  list->add_flag("--json", a.json, "Print one JSON object");

  CLI::App* extract = Command(app, "extract", "Extract all entries, or those named", a);
  extract->add_option("NAME-OR-PATTERN", a.names, "Entries to extract (all when none)");
  extract->add_option("-o,--output", a.output, "The folder to write them to")->required();

  CLI::App* add = Command(app, "add", "Add files as new entries, in the order given", a);
  add->add_option("FILE-OR-FOLDER", a.files, "Files; a folder adds its files in name order")
      ->required();

  CLI::App* import =
      Command(app, "import", "Replace the entries named as the files; add the rest", a);
  import->add_option("FILE-OR-FOLDER", a.files, "Files; a folder gives its files in name order")
      ->required();
  import->add_flag("--json", a.json, "Print one JSON object");

  CLI::App* replace = Command(app, "replace", "Replace one entry's data with a file", a);
  replace->add_option("NAME", a.name, "The entry")->required();
  replace->add_option("FILE", a.file, "The new data")->required();

  CLI::App* rename = Command(app, "rename", "Give one entry a new name (24 characters at most)", a);
  rename->add_option("NAME", a.name, "The entry")->required();
  rename->add_option("NEWNAME", a.newName, "Its new name")->required();

  CLI::App* remove = Command(app, "delete", "Delete the entries named", a);
  remove->add_option("NAME-OR-PATTERN", a.names, "Entries to delete")->required();

  Command(app, "rebuild", "Compact the archive: the entries' data back to back", a);

  CLI::App* create = Command(app, "new", "Create an empty archive; never overwrites a file", a);
  create->add_option("--layout", a.layout, "1: .img with .dir; 2: one .img (the default)")
      ->check(CLI::IsMember({1, 2}));

  CLI::App* check =
      Command(app, "check", "Report damage and shared names; exit status 3 when there are any", a);
  check->add_flag("--json", a.json, "Print one JSON object");
}

Request ToRequest(const CLI::App& app, const Arguments& a) {
  Request request;
  request.command = app.get_subcommands().front()->get_name();
  request.archive = Text(a.archive);
  request.names = Texts(a.names);
  request.files = Texts(a.files);
  request.output = Text(a.output);
  request.name = Text(a.name);
  request.newName = Text(a.newName);
  request.file = Text(a.file);
  request.json = a.json;
  request.sortByName = a.sort == "name";
  request.version2 = a.layout == 2;
  return request;
}

}  // namespace

int RunCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
           bool progress, IFileSystem& files) {
  CLI::App app(kDescription, kProgramName);
  // On Windows CLI11 would take "/name" for an option; to us it is a path (Wine passes POSIX
  // paths so), and options are only ever written with dashes.
  app.allow_windows_style_options(false);
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string(kProgramName) + " " + VANDREL_VERSION);
  Arguments a;
  AddCommands(app, a);
  try {
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error, out, err);
    return status == static_cast<int>(CLI::ExitCodes::Success) ? kExitOk : kExitUsage;
  }
  console::ConsolePlatform console(err, progress, files);
  Session session(console, out);
  return session.Run([&] { return ToRequest(app, a); });
}

}  // namespace vandrel::cli
