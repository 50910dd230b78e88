// The files the user opened in any program: kept beside the history in a
// list file of their own ("files.dat"), never in section "docs", where an
// earlier build would load them as web pages. One line per file, in the
// order first seen:
//   path*|*name*2*4*|*first seen*|*last seen*|*program*|*selected
// dates as yyyy-mm-dd, the program that showed it last (may be empty).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"
#include "store/text_file.h"

namespace zd {

struct FileRecord {
  std::string path;
  std::string name;
  std::string first_seen;
  std::string last_seen;
  std::string program;
  bool selected = false;  // chosen for automatic start
  bool operator==(const FileRecord&) const = default;
};

// What a run knows of a file besides its record in DocArray.
struct FileSeen {
  std::string last_seen;
  std::string program;
};

std::string MakeFileLine(const FileRecord& record);
// nullopt for a line without a path or a name.
std::optional<FileRecord> ParseFileLine(std::string_view line);

// The records of the file in its order; empty when it is missing (then
// `origin` says loaded) or unreadable (not loaded: never written this run).
std::vector<FileRecord> LoadFileRecords(Files& files, const AnsiCodec& codec,
                                        const std::string& path, FileOrigin& origin);
// The whole file, atomically (a save cut short leaves the last one whole).
// Nothing is written over a file that could not be read.
bool SaveFileRecords(Files& files, const AnsiCodec& codec, const std::string& path,
                     const std::vector<FileRecord>& records, const FileOrigin& origin);

// "yyyy-mm-dd" of a time in seconds since 1970 (the day in UTC); empty for
// no time (0 or less).
std::string DateOfSeconds(int64_t seconds);

}  // namespace zd
