#include "store/text_file.h"

#include "platform/utf8.h"

namespace zd {
namespace {

// Each line as UTF-8 when it is valid UTF-8, else in the legacy code page;
// the line breaks are kept as they are (neither encoding uses CR or LF
// inside a character).
std::string DecodeLines(std::string_view bytes, const AnsiCodec& legacy) {
  std::string text;
  text.reserve(bytes.size());
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
    if (IsValidUtf8(line)) {
      text.append(line);
    } else {
      text.append(legacy.ToUtf8(line));
    }
    size_t next = bytes.find_first_not_of("\r\n", end);
    if (next == std::string_view::npos) next = bytes.size();
    text.append(bytes.substr(end, next - end));
    start = next;
  }
  return text;
}

// Whether code-page bytes are read back as the text they were made from.
bool ReadsBackAs(std::string_view bytes, std::string_view utf8, const AnsiCodec& legacy) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) return false;
  if (!IsAscii(bytes) && IsValidUtf8(bytes)) return false;
  // An escaped byte may pair with the byte written after it.
  if (HasByteEscape(utf8)) return legacy.ToUtf8(bytes) == utf8;
  return true;
}

}  // namespace

DecodedText DecodeTextFile(std::string_view bytes, const AnsiCodec& legacy) {
  DecodedText decoded;
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    decoded.utf8 = true;
    decoded.text = DecodeLines(bytes.substr(kUtf8Bom.size()), legacy);
  } else if (!IsAscii(bytes) && IsValidUtf8(bytes)) {
    decoded.utf8 = true;
    decoded.text = std::string(bytes);
  } else {
    decoded.text = legacy.ToUtf8(bytes);
  }
  return decoded;
}

std::string EncodeText(std::string_view utf8, const AnsiCodec& legacy, bool read_as_utf8) {
  if (!read_as_utf8) {
    std::optional<std::string> bytes = legacy.FromUtf8(utf8);
    if (bytes && ReadsBackAs(*bytes, utf8, legacy)) return std::move(*bytes);
  }
  std::string out;
  out.reserve(kUtf8Bom.size() + utf8.size());
  out.append(kUtf8Bom).append(utf8);
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  const std::vector<std::string_view> views = SplitLineViews(text);
  return std::vector<std::string>(views.begin(), views.end());
}

std::vector<std::string_view> SplitLineViews(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const std::string& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string& line : lines) text.append(line).append("\r\n");
  return text;
}

std::optional<DecodedText> LoadTextFile(Files& files, const AnsiCodec& legacy,
                                        const std::string& path) {
  std::optional<std::string> bytes = files.ReadAll(path);
  if (!bytes) return std::nullopt;
  return DecodeTextFile(*bytes, legacy);
}

std::optional<std::string> LoadText(Files& files, const AnsiCodec& legacy,
                                    const std::string& path) {
  std::optional<DecodedText> decoded = LoadTextFile(files, legacy, path);
  if (!decoded) return std::nullopt;
  return std::move(decoded->text);
}

bool SaveText(Files& files, const AnsiCodec& legacy, const std::string& path, std::string_view utf8,
              bool read_as_utf8) {
  return files.WriteAtomic(path, EncodeText(utf8, legacy, read_as_utf8));
}

std::optional<std::string> LoadOwnedText(Files& files, const AnsiCodec& legacy,
                                         const std::string& path, FileOrigin& origin) {
  origin = FileOrigin{};
  std::optional<DecodedText> decoded = LoadTextFile(files, legacy, path);
  if (!decoded) {
    // Read first, then ask: a file that vanished meanwhile is a missing one.
    if (files.FileExists(path)) {
      origin.unreadable = true;
    } else {
      origin.loaded = true;
    }
    return std::nullopt;
  }
  origin.loaded = true;
  origin.utf8 = decoded->utf8;
  return std::move(decoded->text);
}

}  // namespace zd
