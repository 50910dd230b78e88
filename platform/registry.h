// The registry values the program reads and writes, behind an interface.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace zd {

enum class RegRoot { kLocalMachine, kCurrentUser };

// Which half of a 64-bit registry a 32-bit program reaches: its own (the
// default: the 32-bit view), or one named explicitly.
enum class RegView { kDefault, k64, k32 };

// The key of the programs Windows starts at log-on.
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\windows\\CurrentVersion\\Run";
// The parent of the setups' uninstall keys (HKEY_LOCAL_MACHINE).
inline constexpr char kUninstallKeyParent[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

enum class RegType { kString, kExpandString, kMultiString, kBinary, kDword, kOther };

struct RegValue {
  std::string name;
  RegType type = RegType::kString;
  std::string text;   // string types: the text (UTF-8); a multi-string's
                      // strings one per line ("\n" between them)
  std::string bytes;  // other types: the raw data
  bool operator==(const RegValue&) const = default;
};

struct RegListing {
  // False when the key exists but could not be opened for reading.
  bool readable = true;
  bool exists = false;
  std::vector<RegValue> values;  // in the registry's order
};

class Registry {
 public:
  virtual ~Registry() = default;
  virtual std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                                const std::string& value) = 0;
  virtual bool WriteString(RegRoot root, const std::string& key, const std::string& value,
                           const std::string& data) = 0;
  virtual bool DeleteValue(RegRoot root, const std::string& key, const std::string& value) = 0;

  // Every value of a key, opened for reading only.
  virtual RegListing ListValues(RegRoot root, const std::string& key, RegView view) = 0;
  // Writes a value of its own type, creating the key when missing.
  virtual bool WriteValue(RegRoot root, const std::string& key, RegView view,
                          const RegValue& value) = 0;
  virtual bool DeleteValueIn(RegRoot root, const std::string& key, RegView view,
                             const std::string& value) = 0;
  // Whether HKEY_LOCAL_MACHINE has a 64-bit and a 32-bit view apart (a 32-bit
  // program on 64-bit Windows); elsewhere both views are the same key.
  virtual bool HasSeparateViews() = 0;
};

std::unique_ptr<Registry> MakeSystemRegistry();

}  // namespace zd
