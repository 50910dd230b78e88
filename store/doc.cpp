#include "store/doc.h"

#include <charconv>

namespace zd {
namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsSlash(char c) { return c == '\\' || c == '/'; }

// "X:" at the start (a drive path), or two slashes (a UNC path).
bool IsLocalPathForm(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':') {
    const char c = path[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  }
  return path.size() >= 2 && IsSlash(path[0]) && IsSlash(path[1]);
}

}  // namespace

std::string BlankControlChars(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < ' ') c = ' ';
  }
  return out;
}

std::string MakeDocLine(std::string_view path, std::string_view name) {
  std::string line;
  line.reserve(path.size() + kLineSep.size() + name.size());
  line.append(path).append(kLineSep).append(name);
  return BlankControlChars(line);
}

std::string MakeLongDocLine(std::string_view path, std::string_view name, int32_t kind) {
  std::string line = MakeDocLine(path, name);
  line.append(kKindSep).append(std::to_string(kind));
  return line;
}

bool ListLineSplit(std::string_view line, DocLine& record) {
  const size_t sep = line.find(kLineSep);
  if (sep == std::string_view::npos) return false;
  record.path = std::string(line.substr(0, sep));
  const std::string_view rest = line.substr(sep + kLineSep.size());
  const size_t kind_sep = rest.find(kKindSep);
  if (kind_sep == std::string_view::npos) {
    record.name = std::string(rest);
    return true;
  }
  record.name = std::string(rest.substr(0, kind_sep));
  // A hand-edited kind that is not a whole decimal number (or does not fit)
  // keeps the kind the record had; blanks around it are tolerated.
  const std::string kind_text = Trim(rest.substr(kind_sep + kKindSep.size()));
  const char* first = kind_text.data();
  const char* last = first + kind_text.size();
  if (first != last && *first == '+') {
    ++first;  // from_chars takes a '-' sign only
    if (first != last && *first == '-') return true;
  }
  int32_t kind = 0;
  const auto [end, ec] = std::from_chars(first, last, kind);
  if (ec == std::errc() && end == last && first != last) record.kind = kind;
  return true;
}

std::string LineRowText(std::string_view line) {
  const size_t sep = line.find(kLineSep);
  if (sep == std::string_view::npos) return std::string(line);
  return std::string(line.substr(sep + kLineSep.size()));
}

std::string StripFilePrefix(std::string_view text) {
  return std::string(AfterScheme(text, kFilePrefix).value_or(text));
}

std::string_view TrimmedView(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::string Trim(std::string_view text) { return std::string(TrimmedView(text)); }

std::string DocPathKey(std::string_view path) {
  std::string_view local = path;
  if (const std::optional<std::string_view> after = AfterScheme(path, kFilePrefix)) {
    local = *after;
  } else if (!IsLocalPathForm(path)) {
    return std::string(path);
  }
  std::string key(local);
  for (char& c : key) {
    if (c == '/') c = '\\';
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  // "c:\" stays a root; "\\" alone is no path to shorten either.
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
       pos = hit + from.size()) {
    out.append(text.substr(pos, hit - pos)).append(to);
  }
  out.append(text.substr(pos));
  return out;
}

size_t HistorySectionCount(const DocArray& docs) {
  if (docs.empty()) return 0;
  const DocRecord& last = docs.back();
  return docs.size() - last.unstored_before - (InHistorySection(last.doctype) ? 0 : 1);
}

}  // namespace zd
