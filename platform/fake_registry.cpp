#include <cctype>

#include "platform/registry.h"

namespace zd {

std::string FakeRegistry::Id(RegRoot root, const std::string& key, const std::string& value) {
  std::string id = (root == RegRoot::kLocalMachine ? "HKLM\\" : "HKCU\\") + key + "\\\\" + value;
  for (char& c : id) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return id;
}

std::optional<std::string> FakeRegistry::ReadString(RegRoot root, const std::string& key,
                                                    const std::string& value) {
  auto it = values_.find(Id(root, key, value));
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

bool FakeRegistry::WriteString(RegRoot root, const std::string& key, const std::string& value,
                               const std::string& data) {
  if (fail_writes) return false;
  values_[Id(root, key, value)] = data;
  return true;
}

bool FakeRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& value) {
  if (fail_writes) return false;
  return values_.erase(Id(root, key, value)) > 0;
}

}  // namespace zd
