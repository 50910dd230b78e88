#include "platform/fake_registry_keys.h"

#include "platform/utf8.h"

namespace zd {

std::string FakeRegistryKeys::KeyId(RegRoot root, const std::string& key) {
  std::string k = LowerAscii(key);
  while (!k.empty() && k.back() == '\\') k.pop_back();
  while (!k.empty() && k.front() == '\\') k.erase(k.begin());
  return (root == RegRoot::kLocalMachine ? "hklm\\" : "hkcu\\") + k;
}

bool FakeRegistryKeys::Protected(const std::string& key_id) const {
  for (const std::string& p : protected_) {
    if (key_id == p || key_id.starts_with(p + "\\")) return true;
  }
  return false;
}

void FakeRegistryKeys::AddKey(RegRoot root, const std::string& key) {
  entries_.insert(KeyId(root, key));
}

void FakeRegistryKeys::SetValue(RegRoot root, const std::string& key, const std::string& value) {
  AddKey(root, key);
  entries_.insert(KeyId(root, key) + "\\\\" + LowerAscii(value));
}

bool FakeRegistryKeys::HasValue(RegRoot root, const std::string& key,
                                const std::string& value) const {
  return entries_.count(KeyId(root, key) + "\\\\" + LowerAscii(value)) > 0;
}

void FakeRegistryKeys::Protect(RegRoot root, const std::string& key) {
  protected_.insert(KeyId(root, key));
}

bool FakeRegistryKeys::ValueExists(RegRoot root, const std::string& key, const std::string& value) {
  return HasValue(root, key, value);
}

bool FakeRegistryKeys::KeyExists(RegRoot root, const std::string& key) {
  const std::string id = KeyId(root, key);
  for (const std::string& e : entries_) {
    if (e == id || e.starts_with(id + "\\")) return true;
  }
  return false;
}

Removal FakeRegistryKeys::DeleteKeyTree(RegRoot root, const std::string& key) {
  if (!KeyExists(root, key)) return Removal::kAbsent;
  const std::string id = KeyId(root, key);
  if (Protected(id)) return Removal::kFailed;
  std::erase_if(entries_,
                [&](const std::string& e) { return e == id || e.starts_with(id + "\\"); });
  return Removal::kRemoved;
}

Removal FakeRegistryKeys::DeleteValue(RegRoot root, const std::string& key,
                                      const std::string& value) {
  const std::string id = KeyId(root, key) + "\\\\" + LowerAscii(value);
  if (!entries_.count(id)) return Removal::kAbsent;
  if (Protected(KeyId(root, key))) return Removal::kFailed;
  entries_.erase(id);
  return Removal::kRemoved;
}

bool FakeRegistryKeys::CanWrite(RegRoot root, const std::string& key) {
  return !Protected(KeyId(root, key));
}

}  // namespace zd
