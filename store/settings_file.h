// The settings file: a private-profile (INI) file read and written by the
// program itself, compatible with GetPrivateProfileString and
// WritePrivateProfileString: sections and keys compared ignoring ASCII case,
// names and values trimmed, one pair of surrounding quotes removed on read,
// the first of duplicate keys (and sections) wins, lines it does not
// understand kept (trimmed; blank lines are dropped, as the API drops them).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace zd {

// The parsed file; knows nothing of disks. Serialize writes the layout the
// profile API writes: "[name]" headers, "key=value" lines, blank lines dropped.
// A copy is cheap: copies share their sections until one of them changes a
// section (copy on write), so a snapshot can be handed to another thread
// while this one goes on changing its own.
class IniDocument {
 public:
  void Parse(std::string_view utf8_text);
  std::string Serialize() const;  // CR LF line ends

  std::optional<std::string> Get(std::string_view section, std::string_view key) const;
  // Replaces the first key of that name in the first section of that name, or
  // appends it (and the section) as the profile API does. The value is stored
  // so that Get gives it back exactly (quoted when it has blanks at its ends or
  // is itself quoted); control characters (CR, LF, tab, NUL...) become
  // blanks. False when nothing changed.
  bool Set(std::string_view section, std::string_view key, std::string_view value);
  bool EraseSection(std::string_view section);  // false when there was none
  // Erases every key of the section (repeats included) whose name `erase`
  // picks; the number erased.
  size_t EraseKeys(std::string_view section,
                   const std::function<bool(std::string_view name)>& erase);
  bool HasSection(std::string_view section) const;
  // Names of the keys with a value, as the profile API lists them (no
  // comments, no lines without "=").
  std::vector<std::string> Keys(std::string_view section) const;

 private:
  struct Key {
    std::string name;                  // trimmed, spelled as first written
    std::optional<std::string> value;  // trimmed, quotes kept; none without "="
  };
  struct Section {
    std::string name;  // trimmed; empty for the lines before the first header
    std::vector<Key> keys;
    std::unordered_map<std::string, size_t> first_key;  // lower-case name -> index
  };
  const Section* FindSection(std::string_view trimmed_name) const;
  // The section for changing: a copy of its own first while a snapshot shares it.
  Section* FindSectionToChange(std::string_view trimmed_name);
  static void AddKey(Section& section, std::string name, std::optional<std::string> value);
  void IndexSections();

  std::vector<std::shared_ptr<Section>> sections_{std::make_shared<Section>()};
  std::unordered_map<std::string, size_t> first_section_{{std::string(), 0}};
};

class SettingsFile {
 public:
  // Reads the file at once (a missing file is an empty settings file).
  SettingsFile(Files& files, const AnsiCodec& codec, std::string path);

  const std::string& path() const { return path_; }
  // False when the file exists but could not be read: writes are then refused
  // for the run, so a file we never saw is never replaced by an empty one.
  bool readable() const { return readable_; }
  // The file was read as UTF-8, and is written back so.
  bool utf8() const { return utf8_; }

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
  bool EraseKeys(std::string_view section, const std::function<bool(std::string_view)>& erase);
  // The key names of a section, as IniDocument::Keys.
  std::vector<std::string> Keys(std::string_view section) const { return doc_.Keys(section); }

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

  // Writes pending changes now (or hands them to the writer thread). True
  // when nothing is pending or the write worked (or was handed over).
  bool Flush();
  bool dirty() const { return dirty_; }

  // From now on the file is written by a thread of its own, so the caller
  // never waits for the disk: each write hands it a snapshot, and it writes
  // the latest one it has (in order; a snapshot overtaken by a newer one
  // before it was started is skipped). Only the exit save and the session
  // end wait for it (WaitForWrites).
  void WriteInBackground();
  // Flushes, then waits until the writer thread has written everything
  // handed to it. True when the last write went through (it holds the whole
  // file, so a failure before it no longer counts).
  bool WaitForWrites();
  // Waits until what was handed over is on disk, without flushing.
  void WaitForWriterIdle();

  SettingsFile(const SettingsFile&) = delete;
  SettingsFile& operator=(const SettingsFile&) = delete;
  ~SettingsFile();

 private:
  bool Commit(bool changed);
  bool WriteNow(const IniDocument& doc);

  class Writer;

  Files& files_;
  const AnsiCodec& codec_;
  std::string path_;
  IniDocument doc_;
  int holds_ = 0;
  bool dirty_ = false;
  bool readable_ = true;
  bool utf8_ = false;
  std::unique_ptr<Writer> writer_;
};

}  // namespace zd
