#pragma once
// Shared pieces of the native tests: a temporary folder, byte files, archive builders, and a
// main window wired to the scripted platform.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "archive/img_format.h"
#include "platform/scripted/scripted_platform.h"

namespace vandrel::testing {

using Bytes = std::vector<unsigned char>;

// A folder of its own for each test, removed afterwards.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The path of `name` inside the folder, as the program's text.
  std::wstring Path(const std::string& name) const;
  const std::filesystem::path& root() const { return root_; }

 private:
  std::filesystem::path root_;
};

Bytes ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const Bytes& bytes);
Bytes Pattern(size_t size, unsigned seed);

// Every file in the folder (not below it) by name, with its bytes.
using Files = std::map<std::string, Bytes>;
Files Snapshot(const TempDir& dir);

struct EntryRecord {
  std::string name;
  int32_t offset = 0;
  int32_t size = 0;
};

TIMGFileEntry MakeEntry(const EntryRecord& record);
Bytes EncodeDirectory(const std::vector<EntryRecord>& entries);
// Writes a version-1 pair (`base`.img with `imgBytes`, `base`.dir); returns the .img path.
std::wstring MakeV1(const TempDir& dir, const std::string& base,
                    const std::vector<EntryRecord>& entries, const Bytes& imgBytes);
// Writes a version-2 archive: header, directory, then `imgBytes` overlaid from byte 0 where
// longer than the directory (so data at sector n is placed by the caller); returns its path.
std::wstring MakeV2(const TempDir& dir, const std::string& name,
                    const std::vector<EntryRecord>& entries, Bytes imgBytes);

std::wstring FixturePath(const std::string& name);

// The main window on the scripted platform, with the global records reset.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest();
  ~WindowTest() override;

  scripted::ScriptedPlatform sp;
  Platform platform{sp.platform()};
  TfmMain fm{platform};
  TempDir tmp;
};

}  // namespace vandrel::testing
