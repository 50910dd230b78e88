// Text file encoding: UTF-8 inside; on disk the system ANSI code page, or
// UTF-8 with a BOM when some character does not fit that code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace zd {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// File bytes to UTF-8: UTF-8 when they start with a BOM (dropped), else the code page.
std::string DecodeText(std::string_view bytes, const AnsiCodec& codec);
// UTF-8 to file bytes: the code page when every character fits, else BOM + UTF-8.
std::string EncodeText(std::string_view utf8, const AnsiCodec& codec);

// Splits at CR LF, LF or CR; a final line ending does not add an empty line.
std::vector<std::string> SplitLines(std::string_view text);
// Each line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Reads and decodes a text file; nullopt when missing or unreadable.
std::optional<std::string> LoadText(Files& files, const AnsiCodec& codec, const std::string& path);
// Encodes and writes a text file atomically.
bool SaveText(Files& files, const AnsiCodec& codec, const std::string& path, std::string_view utf8);

}  // namespace zd
