// The registry as the program left it, read and reset by the driver.
#include <vector>

#include "tests/e2e/driver.h"

namespace vandrel::e2e {

std::optional<RegistryValue> ReadValue(HKEY root, const std::wstring& key,
                                       const std::wstring& name) {
  HKEY opened;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return std::nullopt;
  RegistryValue value;
  DWORD size = 0;
  LONG result = RegQueryValueExW(opened, name.c_str(), nullptr, &value.type, nullptr, &size);
  std::vector<BYTE> data(size + sizeof(wchar_t));
  if (result == ERROR_SUCCESS)
    result = RegQueryValueExW(opened, name.c_str(), nullptr, &value.type, data.data(), &size);
  RegCloseKey(opened);
  if (result != ERROR_SUCCESS) return std::nullopt;
  if (value.type == REG_DWORD) value.number = *reinterpret_cast<const DWORD*>(data.data());
  if (value.type == REG_SZ) value.text = reinterpret_cast<const wchar_t*>(data.data());
  return value;
}

bool KeyExists(HKEY root, const std::wstring& key) {
  HKEY opened;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

namespace {

void Write(HKEY root, const std::wstring& key, const std::wstring& name, DWORD type,
           const void* data, size_t size) {
  HKEY opened;
  if (RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &opened,
                      nullptr) != ERROR_SUCCESS)
    return;
  RegSetValueExW(opened, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                 static_cast<DWORD>(size));
  RegCloseKey(opened);
}

}  // namespace

void WriteDword(HKEY root, const std::wstring& key, const std::wstring& name, DWORD number) {
  Write(root, key, name, REG_DWORD, &number, sizeof number);
}

void WriteString(HKEY root, const std::wstring& key, const std::wstring& name,
                 const std::wstring& text) {
  Write(root, key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void DeleteTree(HKEY root, const std::wstring& key) {
  RegDeleteTreeW(root, key.c_str());
  RegDeleteKeyW(root, key.c_str());
}

}  // namespace vandrel::e2e
