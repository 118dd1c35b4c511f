// The registry key wrapper: typed reads and writes, and the error texts of its failures.
#include "app/registry_key.h"

#include <gtest/gtest.h>

#include "platform/scripted/memory_registry.h"

namespace vandrel {
namespace {

constexpr wchar_t kPath[] = L"\\SOFTWARE\\Tests\\";

class RegistryKeyTest : public ::testing::Test {
 protected:
  std::wstring ErrorOf(const std::function<void(RegistryKey&)>& access) {
    RegistryKey key(registry, RegRoot::CurrentUser, kPath);
    try {
      access(key);
    } catch (const AppError& error) {
      return error.Message();
    }
    return L"<no error>";
  }
  scripted::Journal journal;
  scripted::MemoryRegistry registry{journal};
};

TEST_F(RegistryKeyTest, AValueOfTheWrongTypeIsNamedInTheError) {
  registry.Put(RegRoot::CurrentUser, kPath, L"bFlag", {RegType::String, 0, L"1"});
  registry.Put(RegRoot::CurrentUser, kPath, L"Dir", {RegType::Dword, 1, {}});
  registry.Put(RegRoot::CurrentUser, kPath, L"Odd", {RegType::Other, 0, {}});
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.ReadInteger(L"bFlag"); }),
            L"Invalid data type for 'bFlag'");
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.ReadString(L"Dir"); }),
            L"Invalid data type for 'Dir'");
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.ReadString(L"Odd"); }),
            L"Invalid data type for 'Odd'");
}

TEST_F(RegistryKeyTest, FailedReadsAndWritesAreNamedInTheError) {
  registry.refuseWritesOf = {L"Refused"};
  registry.refuseReadsOf = {L"Hidden"};
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.WriteInteger(L"Refused", 1); }),
            L"Failed to set data for 'Refused'");
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.WriteString(L"Refused", L""); }),
            L"Failed to set data for 'Refused'");
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.ReadInteger(L"Hidden"); }),
            L"Failed to get data for 'Hidden'");
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.ReadString(L"Missing"); }),
            L"Failed to get data for 'Missing'");
}

TEST_F(RegistryKeyTest, AKeyThatCouldNotBeOpenedFailsEveryAccess) {
  registry.readOnlyRoots = {RegRoot::CurrentUser};
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.WriteString(L"", L"x"); }),
            L"Failed to set data for ''");
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.WriteInteger(L"bFlag", 1); }),
            L"Failed to set data for 'bFlag'");
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { key.ReadInteger(L"bFlag"); }),
            L"Failed to get data for 'bFlag'");
  EXPECT_EQ(ErrorOf([](RegistryKey& key) { EXPECT_FALSE(key.ValueExists(L"bFlag")); }),
            L"<no error>");
  EXPECT_TRUE(registry.writes().empty());
}

}  // namespace
}  // namespace vandrel
