// Text file encoding. UTF-8 inside. On disk: UTF-8 with a BOM, or the legacy
// code page (platform/text_codec.h) for files that were in it and whose
// characters all fit it. Whether a file was read as UTF-8 travels from its
// load to its save, so a UTF-8 file is never turned back into the code page.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace zd {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct DecodedText {
  std::string text;   // UTF-8
  bool utf8 = false;  // the file was read as UTF-8
};

// File bytes to UTF-8. With a BOM: UTF-8, except that a line that is not
// valid UTF-8 (appended by another tool) is decoded with the legacy code
// page. Without a BOM: UTF-8 when there are non-ASCII bytes and all of it is
// valid UTF-8 (Notepad's default), else the legacy code page. Bytes that fit
// nowhere are kept as byte escapes, never U+FFFD.
DecodedText DecodeTextFile(std::string_view bytes, const AnsiCodec& legacy);
inline std::string DecodeText(std::string_view bytes, const AnsiCodec& legacy) {
  return DecodeTextFile(bytes, legacy).text;
}
// UTF-8 to file bytes: the legacy code page when the file was not read as
// UTF-8 and every character fits, else BOM + UTF-8. Code-page bytes that
// would be read back as something else (they start like a BOM, or pass for
// UTF-8) are written as UTF-8 too. DecodeTextFile always gives `utf8` back.
std::string EncodeText(std::string_view utf8, const AnsiCodec& legacy, bool read_as_utf8 = false);

// Splits at CR LF, LF or CR; a final line ending does not add an empty line.
std::vector<std::string> SplitLines(std::string_view text);
// The same lines as views into `text`.
std::vector<std::string_view> SplitLineViews(std::string_view text);
// Each line followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// Reads and decodes a text file; nullopt when missing or unreadable.
std::optional<DecodedText> LoadTextFile(Files& files, const AnsiCodec& legacy,
                                        const std::string& path);
std::optional<std::string> LoadText(Files& files, const AnsiCodec& legacy, const std::string& path);
// Encodes and writes a text file atomically.
bool SaveText(Files& files, const AnsiCodec& legacy, const std::string& path, std::string_view utf8,
              bool read_as_utf8 = false);

// What the start found of a file the run writes back at exit.
struct FileOrigin {
  bool loaded = false;      // read, or found missing: it may be written
  bool unreadable = false;  // exists but could not be read: never written this run
  bool utf8 = false;        // read as UTF-8: written back as UTF-8
};

// Reads a file the run will write back: `origin` tells the save what was
// found. nullopt when the file is missing (loaded) or unreadable (not).
std::optional<std::string> LoadOwnedText(Files& files, const AnsiCodec& legacy,
                                         const std::string& path, FileOrigin& origin);

}  // namespace zd
