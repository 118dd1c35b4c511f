#pragma once
// A registry key held open for as long as the object lives, with reads and writes that raise
// the user's error texts instead of reporting results.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/errors.h"
#include "platform/registry.h"

namespace vandrel {

class RegistryError : public AppError {
 public:
  using AppError::AppError;
};

class RegistryKey {
 public:
  // Opens the key with full access, creating it when missing. Whether that worked is not
  // examined: a key that could not be opened fails every read and write instead.
  RegistryKey(IRegistry& registry, RegRoot root, const std::wstring& path);
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  bool ValueExists(const std::wstring& name);
  // A REG_DWORD value.
  int32_t ReadInteger(const std::wstring& name);
  // A REG_SZ value.
  std::wstring ReadString(const std::wstring& name);
  void WriteInteger(const std::wstring& name, int32_t number);
  void WriteString(const std::wstring& name, const std::wstring& text);

 private:
  RegValue Read(const std::wstring& name, RegType type);

  std::unique_ptr<IRegKey> key_;
};

}  // namespace vandrel
