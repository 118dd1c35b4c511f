#include "app/registry_key.h"

namespace vandrel {
namespace {

constexpr wchar_t kSetFailed[] = L"Failed to set data for '%s'";
constexpr wchar_t kGetFailed[] = L"Failed to get data for '%s'";
constexpr wchar_t kWrongType[] = L"Invalid data type for '%s'";

RegistryError Error(std::wstring format, const std::wstring& name) {
  return RegistryError(format.replace(format.find(L"%s"), 2, name));
}

}  // namespace

RegistryKey::RegistryKey(IRegistry& registry, RegRoot root, const std::wstring& path)
    : key_(registry.CreateKey(root, path)) {}

bool RegistryKey::ValueExists(const std::wstring& name) {
  RegValue value;
  return key_ && key_->Query(name, value) == RegQuery::Ok;
}

RegValue RegistryKey::Read(const std::wstring& name, RegType type) {
  RegValue value;
  if (!key_ || key_->Query(name, value) != RegQuery::Ok) throw Error(kGetFailed, name);
  if (value.type != type) throw Error(kWrongType, name);
  return value;
}

int32_t RegistryKey::ReadInteger(const std::wstring& name) {
  return static_cast<int32_t>(Read(name, RegType::Dword).number);
}

std::wstring RegistryKey::ReadString(const std::wstring& name) {
  return Read(name, RegType::String).text;
}

void RegistryKey::WriteInteger(const std::wstring& name, int32_t number) {
  if (!key_ || !key_->SetDword(name, static_cast<uint32_t>(number))) throw Error(kSetFailed, name);
}

void RegistryKey::WriteString(const std::wstring& name, const std::wstring& text) {
  if (!key_ || !key_->SetString(name, text)) throw Error(kSetFailed, name);
}

}  // namespace vandrel
