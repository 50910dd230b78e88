// The test double of registry.h.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace zd {

// In memory, for tests. Keys and value names compare ignoring ASCII case.
// The default view is the 32-bit one, as for the 32-bit program on 64-bit
// Windows.
class FakeRegistry : public Registry {
 public:
  std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                        const std::string& value) override;
  bool WriteString(RegRoot root, const std::string& key, const std::string& value,
                   const std::string& data) override;
  bool DeleteValue(RegRoot root, const std::string& key, const std::string& value) override;
  RegListing ListValues(RegRoot root, const std::string& key, RegView view) override;
  bool WriteValue(RegRoot root, const std::string& key, RegView view,
                  const RegValue& value) override;
  bool DeleteValueIn(RegRoot root, const std::string& key, RegView view,
                     const std::string& value) override;

  bool HasSeparateViews() override { return separate_views; }

  bool separate_views = true;
  bool fail_writes = false;
  // Every write and delete asked for, refused or not.
  int write_attempts = 0;
  // Writes under this root fail (no write access there).
  std::optional<RegRoot> read_only_root;
  // Keys that exist but refuse to be read.
  std::vector<std::string> unreadable_keys;

 private:
  struct Key {
    std::string id;
    std::vector<RegValue> values;
  };
  std::string KeyId(RegRoot root, const std::string& key, RegView view) const;
  bool Writable(RegRoot root) const;
  Key* Find(const std::string& id);
  std::vector<Key> keys_;  // in creation order
};

}  // namespace zd
