#pragma once
// An in-memory registry with value types; it records every write in order and can be told to
// refuse writes, so tests can check both the settings' order and their failures.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/scripted/scripted_ui.h"

namespace vandrel::scripted {

struct RegWrite {
  RegRoot root;
  std::wstring key, name;
  RegValue value;
};

class MemoryRegistry final : public IRegistry {
 public:
  explicit MemoryRegistry(Journal& journal) : journal_(journal) {}
  std::unique_ptr<IRegKey> CreateKey(RegRoot root, const std::wstring& path) override;
  std::unique_ptr<IRegKey> OpenKey(RegRoot root, const std::wstring& path) override;
  bool DeleteKey(RegRoot root, const std::wstring& path) override;

  // Test set-up and inspection; paths as the program writes them.
  void Put(RegRoot root, const std::wstring& path, const std::wstring& name, RegValue value);
  bool KeyExists(RegRoot root, const std::wstring& path) const;
  const RegValue* Get(RegRoot root, const std::wstring& path, const std::wstring& name) const;
  void Erase(RegRoot root, const std::wstring& path, const std::wstring& name);
  const std::vector<RegWrite>& writes() const { return writes_; }
  // Writes of these value names fail.
  std::set<std::wstring> refuseWritesOf;
  // Reads of these value names fail.
  std::set<std::wstring> refuseReadsOf;
  // Keys below this root cannot be created.
  std::set<RegRoot> readOnlyRoots;

 private:
  friend class MemoryKey;
  struct Key {
    std::map<std::wstring, RegValue> values;
  };
  using KeyId = std::pair<RegRoot, std::wstring>;
  static std::wstring Normal(const std::wstring& path);
  bool Write(const KeyId& id, const std::wstring& name, const RegValue& value);

  Journal& journal_;
  std::map<KeyId, Key> keys_;
  std::vector<RegWrite> writes_;
};

}  // namespace vandrel::scripted
