// Small UTF-8 helpers shared by the code page converters and the text files.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace zd {

inline constexpr std::string_view kReplacementChar = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence at `pos` (1 to 4), or 0 when the
// bytes there are not one (overlong forms, surrogates and values above
// U+10FFFF count as malformed).
size_t Utf8SequenceLength(std::string_view text, size_t pos);

bool IsValidUtf8(std::string_view text);

// Every malformed byte becomes U+FFFD; well-formed text is returned unchanged.
std::string SanitizeUtf8(std::string_view text);

// Only the ASCII letters change; every other byte (Chinese text included)
// stays as it is. Names, captions and paths compare this way throughout.
constexpr char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
constexpr char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);

inline constexpr int kUtf8CodePage = 65001;
// Code page 65001 on every system: no conversion, only validation.
std::unique_ptr<AnsiCodec> MakeUtf8Codec();

}  // namespace zd
