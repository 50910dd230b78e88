// The settings file: a private-profile (INI) file read and written by the
// program itself, compatible with GetPrivateProfileString and
// WritePrivateProfileString: sections and keys compared ignoring ASCII case,
// names and values trimmed, one pair of surrounding quotes removed on read,
// the first of duplicate keys (and sections) wins, lines it does not
// understand kept as they are.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace zd {

// The parsed file; knows nothing of disks.
class IniDocument {
 public:
  void Parse(std::string_view utf8_text);
  std::string Serialize() const;  // CR LF line ends

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the first key of that name in the first section of that name, or
  // appends it (and the section) as the profile API does.
  void Set(std::string_view section, std::string_view key, std::string_view value);
  void EraseSection(std::string_view section);
  bool HasSection(std::string_view section) const;
  std::vector<std::string> Keys(std::string_view section) const;

 private:
  struct Line {
    std::string text;      // the line as read or written
    std::string key;       // trimmed key for key lines, empty otherwise
    std::string section;   // trimmed section name for header lines
    bool is_section = false;
    bool is_key = false;
  };
  std::vector<Line> lines_;
};

class SettingsFile {
 public:
  // Reads the file at once (a missing file is an empty settings file).
  SettingsFile(Files& files, const AnsiCodec& codec, std::string path);

  const std::string& path() const { return path_; }

  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view default_value) const;
  // Decimal (with sign) or 0x hex, as the run-time library reads integers;
  // anything else gives the default.
  int ReadInteger(std::string_view section, std::string_view key, int default_value) const;
  // True for any integer other than 0.
  bool ReadBool(std::string_view section, std::string_view key, bool default_value) const;

  // Each write reaches the disk at once as one atomic replace, unless writes
  // are held (see Hold). False when the file could not be written.
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteInteger(std::string_view section, std::string_view key, int value);
  bool WriteBool(std::string_view section, std::string_view key, bool value);
  // Several keys of one section in one write.
  bool WriteKeys(std::string_view section,
                 const std::vector<std::pair<std::string, std::string>>& keys);
  bool EraseSection(std::string_view section);

  // While a Hold lives, writes stay in memory; the last Hold to end writes the
  // file once. Bulk work (the start-up load, a rebuild) holds writes.
  class Hold {
   public:
    explicit Hold(SettingsFile& file);
    ~Hold();
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    SettingsFile& file_;
  };

  // Writes pending changes now. True when nothing is pending or the write worked.
  bool Flush();
  bool dirty() const { return dirty_; }

 private:
  bool Commit();

  Files& files_;
  const AnsiCodec& codec_;
  std::string path_;
  IniDocument doc_;
  int holds_ = 0;
  bool dirty_ = false;
};

}  // namespace zd
