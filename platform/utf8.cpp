#include "platform/utf8.h"

namespace zd {

size_t Utf8SequenceLength(std::string_view text, size_t pos) {
  if (pos >= text.size()) return 0;
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return 1;
  size_t len;
  unsigned char lo = 0x80, hi = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3;
    if (lead == 0xE0) lo = 0xA0;  // overlong
    if (lead == 0xED) hi = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4;
    if (lead == 0xF0) lo = 0x90;  // overlong
    if (lead == 0xF4) hi = 0x8F;  // above U+10FFFF
  } else {
    return 0;
  }
  if (text.size() - pos < len) return 0;
  if (byte(1) < lo || byte(1) > hi) return 0;
  for (size_t i = 2; i < len; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return len;
}

bool IsValidUtf8(std::string_view text) {
  for (size_t pos = 0; pos < text.size();) {
    const size_t len = Utf8SequenceLength(text, pos);
    if (len == 0) return false;
    pos += len;
  }
  return true;
}

std::string SanitizeUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t pos = 0; pos < text.size();) {
    const size_t len = Utf8SequenceLength(text, pos);
    if (len == 0) {
      out += kReplacementChar;
      ++pos;
    } else {
      out.append(text, pos, len);
      pos += len;
    }
  }
  return out;
}

void AppendByteEscape(std::string& out, unsigned char byte) {
  const char32_t cp = kByteEscapeBase + byte;
  out += static_cast<char>(0xF0 | (cp >> 18));
  out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out += static_cast<char>(0x80 | (cp & 0x3F));
}

int ByteEscapeAt(std::string_view text, size_t pos) {
  // U+10FE00..U+10FEFF is F4 8F B8..BB 80..BF.
  if (pos > text.size() || text.size() - pos < kByteEscapeLength) return -1;
  const auto at = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  if (at(0) != 0xF4 || at(1) != 0x8F || at(2) < 0xB8 || at(2) > 0xBB || (at(3) & 0xC0) != 0x80) {
    return -1;
  }
  return ((at(2) & 0x03) << 6) | (at(3) & 0x3F);
}

bool HasByteEscape(std::string_view text) {
  for (size_t pos = text.find('\xF4'); pos != std::string_view::npos;
       pos = text.find('\xF4', pos + 1)) {
    if (ByteEscapeAt(text, pos) >= 0) return true;
  }
  return false;
}

std::string EscapeMalformedUtf8(std::string_view text) {
  if (IsValidUtf8(text)) return std::string(text);
  std::string out;
  out.reserve(text.size() + 16);
  for (size_t pos = 0; pos < text.size();) {
    const size_t len = Utf8SequenceLength(text, pos);
    if (len == 0) {
      AppendByteEscape(out, static_cast<unsigned char>(text[pos]));
      ++pos;
    } else {
      out.append(text, pos, len);
      pos += len;
    }
  }
  return out;
}

std::optional<std::string> EncodeWithByteEscapes(
    std::string_view utf8,
    const std::function<std::optional<std::string>(std::string_view)>& encode_run) {
  std::string out;
  size_t run = 0;
  const auto flush = [&](size_t end) {
    if (end == run) return true;
    std::optional<std::string> bytes = encode_run(utf8.substr(run, end - run));
    if (!bytes) return false;
    out += *bytes;
    return true;
  };
  for (size_t pos = utf8.find('\xF4'); pos != std::string_view::npos;
       pos = utf8.find('\xF4', pos)) {
    const int byte = ByteEscapeAt(utf8, pos);
    if (byte < 0) {
      ++pos;
      continue;
    }
    if (!flush(pos)) return std::nullopt;
    out += static_cast<char>(byte);
    pos += kByteEscapeLength;
    run = pos;
  }
  if (!flush(utf8.size())) return std::nullopt;
  return out;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

namespace {

class Utf8Codec : public AnsiCodec {
 public:
  int CodePage() const override { return kUtf8CodePage; }
  std::string ToUtf8(std::string_view ansi) const override { return EscapeMalformedUtf8(ansi); }
  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    if (!IsValidUtf8(utf8)) return std::nullopt;
    return EncodeWithByteEscapes(
        utf8, [](std::string_view run) -> std::optional<std::string> { return std::string(run); });
  }
};

}  // namespace

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::unique_ptr<AnsiCodec> MakeUtf8Codec() { return std::make_unique<Utf8Codec>(); }

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         EqualsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
  }
  return true;
}

bool LessIgnoringAsciiCase(std::string_view a, std::string_view b) {
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(LowerAscii(a[i]));
    const auto y = static_cast<unsigned char>(LowerAscii(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

}  // namespace zd
