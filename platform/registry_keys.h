// Whole registry keys and values that must go, with the difference between
// "was not there" and "could not be removed" that a removal report needs.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>

#include "platform/registry.h"
#include "platform/removal.h"

namespace zd {

class RegistryKeys {
 public:
  virtual ~RegistryKeys() = default;
  virtual bool KeyExists(RegRoot root, const std::string& key) = 0;
  virtual bool ValueExists(RegRoot root, const std::string& key, const std::string& value) = 0;
  // The key with everything below it.
  virtual Removal DeleteKeyTree(RegRoot root, const std::string& key) = 0;
  virtual Removal DeleteValue(RegRoot root, const std::string& key, const std::string& value) = 0;
  // We may change the key: it opens for writing, or, when it does not exist,
  // its nearest existing parent does.
  virtual bool CanWrite(RegRoot root, const std::string& key) = 0;
};

std::unique_ptr<RegistryKeys> MakeSystemRegistryKeys();

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
