#include "platform/script_text.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string_view>

#include "platform/utf8.h"

namespace zd {
namespace {

// A reference reader of a double-quoted script string literal, following the
// language's grammar: the decoded value, or nullopt when the text is not
// exactly one literal that an engine would accept (a raw line terminator, an
// unescaped quote inside, text after the closing quote).
std::optional<std::string> ReadLiteral(const std::string& literal) {
  if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"') return std::nullopt;
  std::string value;
  auto append_code_point = [&value](unsigned cp) {
    if (cp < 0x80) {
      value += static_cast<char>(cp);
    } else if (cp < 0x800) {
      value += static_cast<char>(0xC0 | (cp >> 6));
      value += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      value += static_cast<char>(0xE0 | (cp >> 12));
      value += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      value += static_cast<char>(0x80 | (cp & 0x3F));
    }
  };
  for (size_t i = 1; i + 1 < literal.size(); ++i) {
    const char c = literal[i];
    if (c == '"' || c == '\n' || c == '\r') return std::nullopt;
    if (literal.compare(i, 3, "\xE2\x80\xA8") == 0 || literal.compare(i, 3, "\xE2\x80\xA9") == 0)
      return std::nullopt;  // line terminators to older engines
    if (c != '\\') {
      value += c;
      continue;
    }
    if (++i + 1 >= literal.size()) return std::nullopt;  // a backslash escaping the closing quote
    switch (literal[i]) {
      case 'n':
        value += '\n';
        break;
      case 'r':
        value += '\r';
        break;
      case 't':
        value += '\t';
        break;
      case 'u': {
        if (i + 4 >= literal.size()) return std::nullopt;
        append_code_point(static_cast<unsigned>(std::stoul(literal.substr(i + 1, 4), nullptr, 16)));
        i += 4;
        break;
      }
      case '\\':
      case '"':
      case '\'':
        value += literal[i];
        break;
      default:
        return std::nullopt;  // not an escape this writer uses
    }
  }
  return value;
}

TEST(ScriptStringLiteralTest, EveryTextReadsBackAsItselfAndCannotBreakOut) {
  const std::string cases[] = {
      "",
      "plain words",
      "搜索 中文",
      "a\"b",
      "end\\",
      "\\\"",
      "it's",
      "line\nbreak\r\nand\ttab",
      "\x01\x1F\x7F",
      "sep\xE2\x80\xA8para\xE2\x80\xA9",
      "\");alert(1);(\"",
      "</script><script>alert(1)</script>",
      std::string("nul\0inside", 10),
  };
  for (const std::string& text : cases) {
    const std::string literal = ScriptStringLiteral(text);
    const std::optional<std::string> value = ReadLiteral(literal);
    ASSERT_TRUE(value.has_value()) << literal;
    EXPECT_EQ(*value, text) << literal;
  }
}

TEST(ScriptStringLiteralTest, MalformedBytesReadBackAsReplacementCharacters) {
  const std::string bad =
      "a\xFF"
      "b\xE9";
  EXPECT_EQ(ReadLiteral(ScriptStringLiteral(bad)), SanitizeUtf8(bad));
}

TEST(ScriptStringLiteralTest, CallWrapsTheLiteral) {
  EXPECT_EQ(ScriptCall("SearchNow", "a\"b"), "SearchNow(\"a\\\"b\")");
}

// Reference: decoding %XX gives the text back, and only unreserved
// characters stay unencoded.
TEST(PercentEncodeTest, DecodesBackAndEncodesEverythingReserved) {
  const std::string cases[] = {"", "abc-._~XYZ09", "a b", "\"&#+=?/%", "中文 搜索", "\x01\x7F"};
  for (const std::string& text : cases) {
    const std::string encoded = PercentEncode(text);
    std::string decoded;
    for (size_t i = 0; i < encoded.size(); ++i) {
      if (encoded[i] == '%') {
        ASSERT_LE(i + 2, encoded.size() - 1) << encoded;
        decoded += static_cast<char>(std::stoi(encoded.substr(i + 1, 2), nullptr, 16));
        i += 2;
      } else {
        const char c = encoded[i];
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) ||
                    std::string_view("-._~").find(c) != std::string_view::npos)
            << encoded;
        decoded += encoded[i];
      }
    }
    EXPECT_EQ(decoded, text);
  }
  EXPECT_EQ(PercentEncode("a&b#c"), "a%26b%23c");
}

}  // namespace
}  // namespace zd
