#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/handles_win.h"
#include "platform/registry.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

HKEY RootKey(RegRoot root) {
  return root == RegRoot::kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

REGSAM ViewFlag(RegView view) {
  switch (view) {
    case RegView::k64:
      return KEY_WOW64_64KEY;
    case RegView::k32:
      return KEY_WOW64_32KEY;
    case RegView::kDefault:
      break;
  }
  return 0;
}

// The key text as RegOpenKeyEx takes it: without a leading backslash.
std::wstring KeyText(const std::string& key) {
  std::wstring wide = Utf8ToWide(key);
  while (!wide.empty() && wide.front() == L'\\') wide.erase(0, 1);
  return wide;
}

RegType TypeOf(DWORD type) {
  switch (type) {
    case REG_SZ:
      return RegType::kString;
    case REG_EXPAND_SZ:
      return RegType::kExpandString;
    case REG_MULTI_SZ:
      return RegType::kMultiString;
    case REG_BINARY:
      return RegType::kBinary;
    case REG_DWORD:
      return RegType::kDword;
    default:
      return RegType::kOther;
  }
}

// A string value's text: the data need not end with a zero; cut at the first.
std::string TextOf(const std::vector<BYTE>& data) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return WideToUtf8(text);
}

// A multi-string's strings, one per line; it ends at the empty string.
std::string LinesOf(const std::vector<BYTE>& data) {
  std::wstring all(data.size() / sizeof(wchar_t), L'\0');
  if (!all.empty()) std::memcpy(all.data(), data.data(), all.size() * sizeof(wchar_t));
  std::string lines;
  for (size_t pos = 0; pos < all.size();) {
    const size_t end = std::min(all.find(L'\0', pos), all.size());
    if (end == pos) break;
    if (!lines.empty()) lines += '\n';
    lines += WideToUtf8(all.substr(pos, end - pos));
    pos = end + 1;
  }
  return lines;
}

// The data of a multi-string: each line, each ending with a zero, then one more.
std::wstring MultiStringData(const std::string& lines) {
  std::wstring data = Utf8ToWide(lines);
  for (wchar_t& c : data)
    if (c == L'\n') c = L'\0';
  if (!data.empty()) data += L'\0';
  data += L'\0';
  return data;
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

  RegListing ListValues(RegRoot root, const std::string& key, RegView view) override {
    RegListing listing;
    HKEY raw = nullptr;
    const LONG opened = RegOpenKeyExW(RootKey(root), KeyText(key).c_str(), 0,
                                      KEY_QUERY_VALUE | ViewFlag(view), &raw);
    if (opened == ERROR_FILE_NOT_FOUND || opened == ERROR_PATH_NOT_FOUND) return listing;
    listing.exists = true;
    if (opened != ERROR_SUCCESS) {
      listing.readable = false;
      return listing;
    }
    UniqueHkey hkey(raw);
    DWORD count = 0, longest_name = 0, longest_data = 0;
    if (RegQueryInfoKeyW(hkey.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longest_name, &longest_data, nullptr, nullptr) != ERROR_SUCCESS) {
      listing.readable = false;
      return listing;
    }
    for (DWORD i = 0;; ++i) {
      std::wstring name(longest_name + 2, L'\0');
      std::vector<BYTE> data(longest_data + sizeof(wchar_t));
      DWORD name_length = static_cast<DWORD>(name.size());
      DWORD size = static_cast<DWORD>(data.size());
      DWORD type = 0;
      const LONG rc = RegEnumValueW(hkey.get(), i, name.data(), &name_length, nullptr, &type,
                                    data.data(), &size);
      if (rc == ERROR_NO_MORE_ITEMS) break;
      if (rc == ERROR_MORE_DATA) {
        // A value grew since the key was measured: measure again.
        RegQueryInfoKeyW(hkey.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longest_name, &longest_data, nullptr, nullptr);
        --i;
        continue;
      }
      if (rc != ERROR_SUCCESS) break;
      name.resize(name_length);
      data.resize(size);
      RegValue value;
      value.name = WideToUtf8(name);
      value.type = TypeOf(type);
      if (value.type == RegType::kString || value.type == RegType::kExpandString) {
        value.text = TextOf(data);
      } else if (value.type == RegType::kMultiString) {
        value.text = LinesOf(data);
      } else {
        value.bytes.assign(data.begin(), data.end());
      }
      listing.values.push_back(std::move(value));
    }
    return listing;
  }

  bool WriteValue(RegRoot root, const std::string& key, RegView view,
                  const RegValue& value) override {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(RootKey(root), KeyText(key).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | ViewFlag(view), nullptr, &raw, nullptr) != ERROR_SUCCESS) {
      return false;
    }
    UniqueHkey hkey(raw);
    const std::wstring name = Utf8ToWide(value.name);
    if (value.type == RegType::kString || value.type == RegType::kExpandString) {
      const std::wstring text = Utf8ToWide(value.text);
      return RegSetValueExW(hkey.get(), name.c_str(), 0,
                            value.type == RegType::kString ? REG_SZ : REG_EXPAND_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) ==
             ERROR_SUCCESS;
    }
    if (value.type == RegType::kMultiString) {
      const std::wstring data = MultiStringData(value.text);
      return RegSetValueExW(hkey.get(), name.c_str(), 0, REG_MULTI_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>(data.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    const DWORD type = value.type == RegType::kDword ? REG_DWORD : REG_BINARY;
    return RegSetValueExW(hkey.get(), name.c_str(), 0, type,
                          reinterpret_cast<const BYTE*>(value.bytes.data()),
                          static_cast<DWORD>(value.bytes.size())) == ERROR_SUCCESS;
  }

  bool DeleteValueIn(RegRoot root, const std::string& key, RegView view,
                     const std::string& value) override {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(RootKey(root), KeyText(key).c_str(), 0, KEY_SET_VALUE | ViewFlag(view),
                      &raw) != ERROR_SUCCESS) {
      return false;
    }
    UniqueHkey hkey(raw);
    return RegDeleteValueW(hkey.get(), Utf8ToWide(value).c_str()) == ERROR_SUCCESS;
  }

  bool HasSeparateViews() override {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
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
