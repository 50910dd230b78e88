#include "platform/fake_registry.h"

#include <algorithm>
#include <cctype>

namespace zd {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

}  // namespace

std::string FakeRegistry::KeyId(RegRoot root, const std::string& key, RegView view) const {
  std::string trimmed = key;
  while (!trimmed.empty() && trimmed.front() == '\\') trimmed.erase(0, 1);
  // The default view of the 32-bit program is the 32-bit one.
  const bool view64 = view == RegView::k64 && separate_views;
  return Lower((root == RegRoot::kLocalMachine ? "HKLM" : "HKCU") +
               std::string(view64 && root == RegRoot::kLocalMachine ? "64\\" : "\\") + trimmed);
}

bool FakeRegistry::Writable(RegRoot root) const {
  return !fail_writes && (!read_only_root || *read_only_root != root);
}

FakeRegistry::Key* FakeRegistry::Find(const std::string& id) {
  for (Key& key : keys_)
    if (key.id == id) return &key;
  return nullptr;
}

std::optional<std::string> FakeRegistry::ReadString(RegRoot root, const std::string& key,
                                                    const std::string& value) {
  for (const RegValue& v : ListValues(root, key, RegView::kDefault).values) {
    if (SameName(v.name, value) &&
        (v.type == RegType::kString || v.type == RegType::kExpandString)) {
      return v.text;
    }
  }
  return std::nullopt;
}

bool FakeRegistry::WriteString(RegRoot root, const std::string& key, const std::string& value,
                               const std::string& data) {
  return WriteValue(root, key, RegView::kDefault, RegValue{value, RegType::kString, data, {}});
}

bool FakeRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& value) {
  return DeleteValueIn(root, key, RegView::kDefault, value);
}

RegListing FakeRegistry::ListValues(RegRoot root, const std::string& key, RegView view) {
  RegListing listing;
  const std::string id = KeyId(root, key, view);
  Key* found = Find(id);
  if (!found) return listing;
  listing.exists = true;
  for (const std::string& unreadable : unreadable_keys) {
    if (Lower(unreadable) == id) {
      listing.readable = false;
      return listing;
    }
  }
  listing.values = found->values;
  return listing;
}

bool FakeRegistry::WriteValue(RegRoot root, const std::string& key, RegView view,
                              const RegValue& value) {
  ++write_attempts;
  if (!Writable(root)) return false;
  const std::string id = KeyId(root, key, view);
  Key* found = Find(id);
  if (!found) {
    keys_.push_back({id, {}});
    found = &keys_.back();
  }
  for (RegValue& v : found->values) {
    if (SameName(v.name, value.name)) {
      const std::string name = v.name;  // the registry keeps the first spelling
      v = value;
      v.name = name;
      return true;
    }
  }
  found->values.push_back(value);
  return true;
}

bool FakeRegistry::DeleteValueIn(RegRoot root, const std::string& key, RegView view,
                                 const std::string& value) {
  ++write_attempts;
  if (!Writable(root)) return false;
  Key* found = Find(KeyId(root, key, view));
  if (!found) return false;
  auto it = std::find_if(found->values.begin(), found->values.end(),
                         [&](const RegValue& v) { return SameName(v.name, value); });
  if (it == found->values.end()) return false;
  found->values.erase(it);
  return true;
}

}  // namespace zd
