// Whole registry keys and values that must go, with the difference between
// "was not there" and "could not be removed" that a removal report needs.
#pragma once

#include <memory>
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

}  // namespace zd
