#include "platform/scripted/memory_registry.h"

#include <cwctype>

namespace vandrel::scripted {

class MemoryKey final : public IRegKey {
 public:
  MemoryKey(MemoryRegistry& registry, MemoryRegistry::KeyId id)
      : registry_(registry), id_(std::move(id)) {}

  RegQuery Query(const std::wstring& name, RegValue& value) override {
    if (registry_.refuseReadsOf.count(name)) return RegQuery::Failed;
    auto& values = registry_.keys_.at(id_).values;
    auto at = values.find(name);
    if (at == values.end()) return RegQuery::Missing;
    value = at->second;
    return RegQuery::Ok;
  }
  bool SetDword(const std::wstring& name, uint32_t number) override {
    return registry_.Write(id_, name, {RegType::Dword, number, {}});
  }
  bool SetString(const std::wstring& name, const std::wstring& text) override {
    return registry_.Write(id_, name, {RegType::String, 0, text});
  }
  std::vector<std::wstring> SubkeyNames() override {
    std::vector<std::wstring> names;
    std::wstring prefix = id_.second + L"\\";
    for (const auto& [id, key] : registry_.keys_) {
      if (id.first != id_.first || id.second.compare(0, prefix.size(), prefix) != 0) continue;
      std::wstring rest = id.second.substr(prefix.size());
      if (rest.find(L'\\') == std::wstring::npos) names.push_back(rest);
    }
    return names;
  }

 private:
  MemoryRegistry& registry_;
  MemoryRegistry::KeyId id_;
};

std::wstring MemoryRegistry::Normal(const std::wstring& path) {
  size_t first = path.find_first_not_of(L'\\');
  if (first == std::wstring::npos) return {};
  size_t last = path.find_last_not_of(L'\\');
  std::wstring normal = path.substr(first, last - first + 1);
  for (wchar_t& c : normal) c = static_cast<wchar_t>(std::towlower(c));
  return normal;
}

std::unique_ptr<IRegKey> MemoryRegistry::CreateKey(RegRoot root, const std::wstring& path) {
  if (readOnlyRoots.count(root)) return nullptr;
  std::wstring normal = Normal(path);
  // Parents come into being with the key, as in the real registry.
  for (size_t at = normal.find(L'\\'); at != std::wstring::npos; at = normal.find(L'\\', at + 1))
    keys_[{root, normal.substr(0, at)}];
  keys_[{root, normal}];
  return std::make_unique<MemoryKey>(*this, KeyId{root, normal});
}

std::unique_ptr<IRegKey> MemoryRegistry::OpenKey(RegRoot root, const std::wstring& path) {
  KeyId id{root, Normal(path)};
  if (!keys_.count(id)) return nullptr;
  return std::make_unique<MemoryKey>(*this, id);
}

bool MemoryRegistry::DeleteKey(RegRoot root, const std::wstring& path) {
  KeyId id{root, Normal(path)};
  if (!keys_.count(id) || !MemoryKey(*this, id).SubkeyNames().empty()) return false;
  keys_.erase(id);
  journal_.push_back(L"reg-delete:" + id.second);
  return true;
}

bool MemoryRegistry::Write(const KeyId& id, const std::wstring& name, const RegValue& value) {
  if (refuseWritesOf.count(name)) return false;
  keys_.at(id).values[name] = value;
  writes_.push_back({id.first, id.second, name, value});
  journal_.push_back(L"reg:" + name);
  return true;
}

void MemoryRegistry::Put(RegRoot root, const std::wstring& path, const std::wstring& name,
                         RegValue value) {
  CreateKey(root, path);
  keys_.at({root, Normal(path)}).values[name] = std::move(value);
}

bool MemoryRegistry::KeyExists(RegRoot root, const std::wstring& path) const {
  return keys_.count({root, Normal(path)}) != 0;
}

const RegValue* MemoryRegistry::Get(RegRoot root, const std::wstring& path,
                                    const std::wstring& name) const {
  auto key = keys_.find({root, Normal(path)});
  if (key == keys_.end()) return nullptr;
  auto value = key->second.values.find(name);
  return value == key->second.values.end() ? nullptr : &value->second;
}

void MemoryRegistry::Erase(RegRoot root, const std::wstring& path, const std::wstring& name) {
  auto key = keys_.find({root, Normal(path)});
  if (key != keys_.end()) key->second.values.erase(name);
}

}  // namespace vandrel::scripted
