// The Win32 registry half against the real (Wine's) registry, below a key of the test's own.
#include "platform/win32/registry_win32.h"

#include <gtest/gtest.h>

namespace vandrel {
namespace {

constexpr wchar_t kTestKey[] = L"\\SOFTWARE\\VandrelTests\\Registry\\";

class RegistryTest : public ::testing::Test {
 protected:
  ~RegistryTest() override {
    registry_->DeleteKey(RegRoot::CurrentUser, L"\\SOFTWARE\\VandrelTests\\Registry\\Sub\\");
    registry_->DeleteKey(RegRoot::CurrentUser, kTestKey);
  }
  std::unique_ptr<IRegistry> registry_ = win32::MakeRegistry();
};

TEST_F(RegistryTest, ValuesKeepTheirTypes) {
  auto key = registry_->CreateKey(RegRoot::CurrentUser, kTestKey);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->SetDword(L"bFlag", 1));
  EXPECT_TRUE(key->SetString(L"Text", L"C:\\Игры\\"));
  EXPECT_TRUE(key->SetString(L"Empty", L""));
  key.reset();

  auto again = registry_->OpenKey(RegRoot::CurrentUser, kTestKey);
  ASSERT_NE(again, nullptr);
  RegValue value;
  ASSERT_EQ(again->Query(L"bFlag", value), RegQuery::Ok);
  EXPECT_EQ(value.type, RegType::Dword);
  EXPECT_EQ(value.number, 1u);
  ASSERT_EQ(again->Query(L"Text", value), RegQuery::Ok);
  EXPECT_EQ(value.type, RegType::String);
  EXPECT_EQ(value.text, L"C:\\Игры\\");
  ASSERT_EQ(again->Query(L"Empty", value), RegQuery::Ok);
  EXPECT_EQ(value.text, L"");
  EXPECT_EQ(again->Query(L"Missing", value), RegQuery::Missing);
}

TEST_F(RegistryTest, KeysWithSubkeysAreNotDeletedWhole) {
  registry_->CreateKey(RegRoot::CurrentUser, L"\\SOFTWARE\\VandrelTests\\Registry\\Sub\\");
  auto key = registry_->OpenKey(RegRoot::CurrentUser, kTestKey);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->SubkeyNames(), std::vector<std::wstring>{L"Sub"});
  key.reset();
  EXPECT_FALSE(registry_->DeleteKey(RegRoot::CurrentUser, kTestKey));
  EXPECT_TRUE(
      registry_->DeleteKey(RegRoot::CurrentUser, L"\\SOFTWARE\\VandrelTests\\Registry\\Sub\\"));
  EXPECT_TRUE(registry_->DeleteKey(RegRoot::CurrentUser, kTestKey));
  EXPECT_EQ(registry_->OpenKey(RegRoot::CurrentUser, kTestKey), nullptr);
}

}  // namespace
}  // namespace vandrel
