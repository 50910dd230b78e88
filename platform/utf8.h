// Small UTF-8 helpers shared by the code page converters and the text files.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
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

// A byte that no decoding could place is kept as the code point U+10FE00 +
// byte: the text stays valid UTF-8 and the encoders write the byte back as
// it was, so nothing read is lost (U+FFFD would lose it). That plane-16
// private-use block is mapped by no code page a Windows system uses as its
// ANSI code page, so an escape never stands for a real character there.
inline constexpr char32_t kByteEscapeBase = 0x10FE00;
inline constexpr size_t kByteEscapeLength = 4;  // bytes of its UTF-8 form
void AppendByteEscape(std::string& out, unsigned char byte);
// The value of a hexadecimal digit (either case); -1 for any other character.
inline int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
// The byte escaped at `pos`, or -1 when no escape starts there.
int ByteEscapeAt(std::string_view text, size_t pos);
bool HasByteEscape(std::string_view text);
// Well-formed UTF-8 kept, every malformed byte escaped.
std::string EscapeMalformedUtf8(std::string_view text);
// Runs `encode_run` on each stretch between escapes and puts each escape's
// byte in between; nullopt when some stretch does not encode.
std::optional<std::string> EncodeWithByteEscapes(
    std::string_view utf8,
    const std::function<std::optional<std::string>(std::string_view)>& encode_run);

bool IsAscii(std::string_view text);

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
// Comparisons in the same sense, without copies.
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool LessIgnoringAsciiCase(std::string_view a, std::string_view b);

inline constexpr int kUtf8CodePage = 65001;
// Code page 65001 on every system: no conversion; malformed bytes are escaped.
std::unique_ptr<AnsiCodec> MakeUtf8Codec();

}  // namespace zd
