#include <windows.h>

#include "platform/handles_win.h"
#include "platform/registry_keys.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

HKEY RootKey(RegRoot root) {
  return root == RegRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

std::wstring Parent(const std::wstring& key) {
  const size_t cut = key.find_last_of(L'\\');
  return cut == std::wstring::npos ? std::wstring() : key.substr(0, cut);
}

UniqueHkey Open(RegRoot root, const std::wstring& key, REGSAM access, LSTATUS* status) {
  HKEY raw = nullptr;
  *status = RegOpenKeyExW(RootKey(root), key.c_str(), 0, access, &raw);
  return UniqueHkey(*status == ERROR_SUCCESS ? raw : nullptr);
}

class Win32RegistryKeys : public RegistryKeys {
 public:
  bool KeyExists(RegRoot root, const std::string& key) override {
    LSTATUS status = 0;
    return static_cast<bool>(Open(root, Utf8ToWide(key), KEY_READ, &status));
  }

  bool ValueExists(RegRoot root, const std::string& key, const std::string& value) override {
    LSTATUS status = 0;
    UniqueHkey hkey = Open(root, Utf8ToWide(key), KEY_QUERY_VALUE, &status);
    return hkey && RegQueryValueExW(hkey.get(), Utf8ToWide(value).c_str(), nullptr, nullptr,
                                    nullptr, nullptr) == ERROR_SUCCESS;
  }

  Removal DeleteKeyTree(RegRoot root, const std::string& key) override {
    if (!KeyExists(root, key)) return Removal::kAbsent;
    const LSTATUS status = RegDeleteTreeW(RootKey(root), Utf8ToWide(key).c_str());
    if (status == ERROR_SUCCESS) return Removal::kRemoved;
    return status == ERROR_FILE_NOT_FOUND ? Removal::kAbsent : Removal::kFailed;
  }

  Removal DeleteValue(RegRoot root, const std::string& key, const std::string& value) override {
    LSTATUS status = 0;
    UniqueHkey hkey = Open(root, Utf8ToWide(key), KEY_QUERY_VALUE | KEY_SET_VALUE, &status);
    if (!hkey) {
      if (status == ERROR_FILE_NOT_FOUND) return Removal::kAbsent;
      // A key we may not write: still absent when it does not hold the value.
      UniqueHkey read = Open(root, Utf8ToWide(key), KEY_QUERY_VALUE, &status);
      if (read && RegQueryValueExW(read.get(), Utf8ToWide(value).c_str(), nullptr, nullptr, nullptr,
                                   nullptr) == ERROR_FILE_NOT_FOUND) {
        return Removal::kAbsent;
      }
      return Removal::kFailed;
    }
    status = RegDeleteValueW(hkey.get(), Utf8ToWide(value).c_str());
    if (status == ERROR_SUCCESS) return Removal::kRemoved;
    return status == ERROR_FILE_NOT_FOUND ? Removal::kAbsent : Removal::kFailed;
  }

  bool CanWrite(RegRoot root, const std::string& key) override {
    std::wstring wide = Utf8ToWide(key);
    for (;;) {
      LSTATUS status = 0;
      UniqueHkey hkey = Open(root, wide, KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE, &status);
      if (hkey) return true;
      if (status != ERROR_FILE_NOT_FOUND || wide.empty()) return false;
      wide = Parent(wide);
    }
  }
};

}  // namespace

std::unique_ptr<RegistryKeys> MakeSystemRegistryKeys() {
  return std::make_unique<Win32RegistryKeys>();
}

}  // namespace zd
