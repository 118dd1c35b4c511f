// The registry through advapi32. Paths arrive as the program writes them, with a leading and
// a trailing backslash, and are trimmed to what the API expects.
#include "platform/win32/registry_win32.h"

#include <windows.h>

#include <vector>

namespace vandrel::win32 {
namespace {

HKEY RootKey(RegRoot root) {
  return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_CLASSES_ROOT;
}

std::wstring Trimmed(const std::wstring& path) {
  size_t first = path.find_first_not_of(L'\\');
  if (first == std::wstring::npos) return {};
  return path.substr(first, path.find_last_not_of(L'\\') - first + 1);
}

class Win32Key final : public IRegKey {
 public:
  explicit Win32Key(HKEY key) : key_(key) {}
  ~Win32Key() override { RegCloseKey(key_); }

  RegQuery Query(const std::wstring& name, RegValue& value) override {
    DWORD type = 0, size = 0;
    LONG result = RegQueryValueExW(key_, name.c_str(), nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) return RegQuery::Missing;
    if (result != ERROR_SUCCESS) return RegQuery::Failed;
    std::vector<BYTE> data(size + sizeof(wchar_t));
    result = RegQueryValueExW(key_, name.c_str(), nullptr, &type, data.data(), &size);
    if (result != ERROR_SUCCESS) return RegQuery::Failed;
    if (type == REG_DWORD && size == sizeof(DWORD)) {
      value = {RegType::Dword, *reinterpret_cast<const DWORD*>(data.data()), {}};
    } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
      std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
      while (!text.empty() && text.back() == L'\0') text.pop_back();
      value = {RegType::String, 0, text};
    } else {
      value = {RegType::Other, 0, {}};
    }
    return RegQuery::Ok;
  }

  bool SetDword(const std::wstring& name, uint32_t number) override {
    DWORD data = number;
    return RegSetValueExW(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
  }

  bool SetString(const std::wstring& name, const std::wstring& text) override {
    DWORD bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()), bytes) == ERROR_SUCCESS;
  }

  std::vector<std::wstring> SubkeyNames() override {
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return {};
    std::vector<std::wstring> names;
    std::vector<wchar_t> buffer(longest + 1);
    for (DWORD i = 0; i < count; ++i) {
      DWORD length = static_cast<DWORD>(buffer.size());
      if (RegEnumKeyExW(key_, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
          ERROR_SUCCESS)
        names.emplace_back(buffer.data(), length);
    }
    return names;
  }

 private:
  HKEY key_;
};

class Win32Registry final : public IRegistry {
 public:
  std::unique_ptr<IRegKey> CreateKey(RegRoot root, const std::wstring& path) override {
    HKEY key;
    if (RegCreateKeyExW(RootKey(root), Trimmed(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return nullptr;
    return std::make_unique<Win32Key>(key);
  }

  std::unique_ptr<IRegKey> OpenKey(RegRoot root, const std::wstring& path) override {
    HKEY key;
    if (RegOpenKeyExW(RootKey(root), Trimmed(path).c_str(), 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
      return nullptr;
    return std::make_unique<Win32Key>(key);
  }

  bool DeleteKey(RegRoot root, const std::wstring& path) override {
    return RegDeleteKeyW(RootKey(root), Trimmed(path).c_str()) == ERROR_SUCCESS;
  }
};

}  // namespace

std::unique_ptr<IRegistry> MakeRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace vandrel::win32
