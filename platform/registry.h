#pragma once
// The registry as the platform offers it: results are reported, never raised. The program's
// own registry wrapper turns failures into the error texts.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vandrel {

enum class RegRoot { CurrentUser, ClassesRoot };
enum class RegType { Dword, String, Other };
enum class RegQuery { Ok, Missing, Failed };

struct RegValue {
  RegType type = RegType::Other;
  uint32_t number = 0;
  std::wstring text;
};

class IRegKey {
 public:
  IRegKey() = default;
  IRegKey(const IRegKey&) = delete;
  IRegKey& operator=(const IRegKey&) = delete;
  virtual ~IRegKey() = default;  // closes the key
  virtual RegQuery Query(const std::wstring& name, RegValue& value) = 0;
  virtual bool SetDword(const std::wstring& name, uint32_t number) = 0;
  virtual bool SetString(const std::wstring& name, const std::wstring& text) = 0;
  virtual std::vector<std::wstring> SubkeyNames() = 0;
};

class IRegistry {
 public:
  virtual ~IRegistry() = default;
  // Opens the key with full access, creating it when missing; nullptr when that fails.
  virtual std::unique_ptr<IRegKey> CreateKey(RegRoot root, const std::wstring& path) = 0;
  // Opens an existing key; nullptr when it cannot be opened.
  virtual std::unique_ptr<IRegKey> OpenKey(RegRoot root, const std::wstring& path) = 0;
  // Deletes a key that has no subkeys.
  virtual bool DeleteKey(RegRoot root, const std::wstring& path) = 0;
};

}  // namespace vandrel
