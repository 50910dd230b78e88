// The test double of registry_keys.h.
#pragma once

#include <set>
#include <string>

#include "platform/registry_keys.h"

namespace zd {

// In memory. Keys and value names compare ignoring ASCII case; a key exists
// when it was added or holds a value.
class FakeRegistryKeys : public RegistryKeys {
 public:
  void AddKey(RegRoot root, const std::string& key);
  void SetValue(RegRoot root, const std::string& key, const std::string& value);
  bool HasValue(RegRoot root, const std::string& key, const std::string& value) const;
  // Keys at or below this one refuse every change.
  void Protect(RegRoot root, const std::string& key);
  // Every remaining key and value, one line each ("HKLM\key" or "HKLM\key\\value").
  std::set<std::string> Contents() const { return entries_; }

  bool KeyExists(RegRoot root, const std::string& key) override;
  bool ValueExists(RegRoot root, const std::string& key, const std::string& value) override;
  Removal DeleteKeyTree(RegRoot root, const std::string& key) override;
  Removal DeleteValue(RegRoot root, const std::string& key, const std::string& value) override;
  bool CanWrite(RegRoot root, const std::string& key) override;

 private:
  static std::string KeyId(RegRoot root, const std::string& key);
  bool Protected(const std::string& key_id) const;
  std::set<std::string> entries_;
  std::set<std::string> protected_;
};

}  // namespace zd
