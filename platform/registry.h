// The few registry values the program reads and writes, behind an interface.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

namespace zd {

enum class RegRoot { kLocalMachine, kCurrentUser };

// The key of the programs Windows starts at log-on.
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\windows\\CurrentVersion\\Run";

class Registry {
 public:
  virtual ~Registry() = default;
  virtual std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                                const std::string& value) = 0;
  virtual bool WriteString(RegRoot root, const std::string& key, const std::string& value,
                           const std::string& data) = 0;
  virtual bool DeleteValue(RegRoot root, const std::string& key, const std::string& value) = 0;
};

std::unique_ptr<Registry> MakeSystemRegistry();

// In memory, for tests. Keys and value names compare ignoring ASCII case.
class FakeRegistry : public Registry {
 public:
  std::optional<std::string> ReadString(RegRoot root, const std::string& key,
                                        const std::string& value) override;
  bool WriteString(RegRoot root, const std::string& key, const std::string& value,
                   const std::string& data) override;
  bool DeleteValue(RegRoot root, const std::string& key, const std::string& value) override;
  bool fail_writes = false;

 private:
  static std::string Id(RegRoot root, const std::string& key, const std::string& value);
  std::map<std::string, std::string> values_;
};

}  // namespace zd
