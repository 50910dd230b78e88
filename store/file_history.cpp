#include "store/file_history.h"

#include <cstdio>

#include "store/doc.h"

namespace zd {
namespace {

constexpr std::string_view kKindMark = "*2*4";

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t sep = line.find(kLineSep);
    if (sep == std::string_view::npos) break;
    fields.push_back(line.substr(0, sep));
    line.remove_prefix(sep + kLineSep.size());
  }
  fields.push_back(line);
  return fields;
}

}  // namespace

std::string MakeFileLine(const FileRecord& record) {
  std::string line = MakeLongDocLine(record.path, record.name, StoredNumber(DocKind::kFile));
  for (const std::string* field : {&record.first_seen, &record.last_seen, &record.program}) {
    line += kLineSep;
    // A program path holds neither "*" nor "|": no field spills into the next.
    line += BlankControlChars(*field);
  }
  line += kLineSep;
  line += record.selected ? "1" : "0";
  return line;
}

std::optional<FileRecord> ParseFileLine(std::string_view line) {
  const std::vector<std::string_view> fields = Fields(line);
  if (fields.size() < 2) return std::nullopt;
  FileRecord record;
  record.path = Trim(fields[0]);
  std::string_view name = fields[1];
  if (const size_t kind = name.rfind(kKindMark);
      kind != std::string_view::npos && kind + kKindMark.size() == name.size()) {
    name = name.substr(0, kind);
  }
  record.name = Trim(name);
  if (record.path.empty() || record.name.empty()) return std::nullopt;
  if (fields.size() > 2) record.first_seen = Trim(fields[2]);
  if (fields.size() > 3) record.last_seen = Trim(fields[3]);
  if (fields.size() > 4) record.program = Trim(fields[4]);
  if (fields.size() > 5) record.selected = Trim(fields[5]) == "1";
  if (record.last_seen.empty()) record.last_seen = record.first_seen;
  return record;
}

std::vector<FileRecord> LoadFileRecords(Files& files, const AnsiCodec& codec,
                                        const std::string& path, FileOrigin& origin) {
  std::vector<FileRecord> records;
  const std::optional<std::string> text = LoadOwnedText(files, codec, path, origin);
  if (!text) return records;
  for (std::string_view line : SplitLineViews(*text)) {
    if (std::optional<FileRecord> record = ParseFileLine(line))
      records.push_back(std::move(*record));
  }
  return records;
}

bool SaveFileRecords(Files& files, const AnsiCodec& codec, const std::string& path,
                     const std::vector<FileRecord>& records, const FileOrigin& origin) {
  if (origin.unreadable || !origin.loaded) return false;
  std::string text;
  for (const FileRecord& record : records) {
    text += MakeFileLine(record);
    text += "\r\n";
  }
  return SaveText(files, codec, path, text, origin.utf8);
}

std::string DateOfSeconds(int64_t seconds) {
  if (seconds <= 0) return {};
  // Days to a civil date (Howard Hinnant's algorithm), no time zone asked.
  int64_t z = seconds / 86400 + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(year),
                static_cast<int>(month), static_cast<int>(day));
  return text;
}

}  // namespace zd
