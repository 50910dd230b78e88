#include <windows.h>

#include "platform/handles_win.h"
#include "platform/registry.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

HKEY RootKey(RegRoot root) {
  return root == RegRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

class Win32Registry : public Registry {
 public:
  std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                        const std::string& value) override {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(RootKey(root), Utf8ToWide(key).c_str(), 0, KEY_QUERY_VALUE, &raw) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    UniqueHkey hkey(raw);
    std::wstring name = Utf8ToWide(value);
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
            ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return std::nullopt;
    }
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(data.data()), &bytes) != ERROR_SUCCESS) {
      return std::nullopt;
    }
    // The stored string need not be terminated; cut at the first zero.
    data.resize(wcsnlen(data.c_str(), data.size()));
    return WideToUtf8(data);
  }

  bool WriteString(RegRoot root, const std::string& key, const std::string& value,
                   const std::string& data) override {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(RootKey(root), Utf8ToWide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &raw, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    UniqueHkey hkey(raw);
    std::wstring wide = Utf8ToWide(data);
    return RegSetValueExW(hkey.get(), Utf8ToWide(value).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  }

  bool DeleteValue(RegRoot root, const std::string& key, const std::string& value) override {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(RootKey(root), Utf8ToWide(key).c_str(), 0, KEY_SET_VALUE, &raw) !=
        ERROR_SUCCESS) {
      return false;
    }
    UniqueHkey hkey(raw);
    return RegDeleteValueW(hkey.get(), Utf8ToWide(value).c_str()) == ERROR_SUCCESS;
  }
};

}  // namespace

std::unique_ptr<Registry> MakeSystemRegistry() { return std::make_unique<Win32Registry>(); }

}  // namespace zd
