#include "store/text_file.h"

#include "platform/utf8.h"

namespace zd {

std::string DecodeText(std::string_view bytes, const AnsiCodec& codec) {
  if (bytes.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
    return SanitizeUtf8(bytes.substr(kUtf8Bom.size()));
  }
  return codec.ToUtf8(bytes);
}

std::string EncodeText(std::string_view utf8, const AnsiCodec& codec) {
  std::optional<std::string> ansi = codec.FromUtf8(utf8);
  // Code-page bytes that happen to start like a BOM would be read back as
  // UTF-8; such a text is written as UTF-8 too.
  if (ansi && ansi->compare(0, kUtf8Bom.size(), kUtf8Bom) != 0) return std::move(*ansi);
  std::string out;
  out.reserve(kUtf8Bom.size() + utf8.size());
  out.append(kUtf8Bom).append(utf8);
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
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

std::optional<std::string> LoadText(Files& files, const AnsiCodec& codec, const std::string& path) {
  std::optional<std::string> bytes = files.ReadAll(path);
  if (!bytes) return std::nullopt;
  return DecodeText(*bytes, codec);
}

bool SaveText(Files& files, const AnsiCodec& codec, const std::string& path,
              std::string_view utf8) {
  return files.WriteAtomic(path, EncodeText(utf8, codec));
}

}  // namespace zd
