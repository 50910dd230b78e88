#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include "platform/utf8.h"

namespace zd {
namespace {

TEST(TextCodecTest, SupportedCodePages) {
  for (int cp : {936, 1252, 65001}) {
    const auto codec = MakeCodec(cp);
    ASSERT_TRUE(codec) << cp;
    EXPECT_EQ(codec->CodePage(), cp);
  }
  EXPECT_FALSE(MakeCodec(12345));
  EXPECT_FALSE(MakeCodec(0));
  const auto system = MakeSystemCodec();
  ASSERT_TRUE(system);
  EXPECT_GT(system->CodePage(), 0);
}

TEST(TextCodecTest, Cp936RoundTripsEveryDoubleByteCharacterExactly) {
  const auto gbk = MakeCodec(936);
  ASSERT_TRUE(gbk);
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = gbk->ToUtf8(bytes);
      if (HasByteEscape(utf8)) continue;  // unassigned
      const std::optional<std::string> back = gbk->FromUtf8(utf8);
      // A character with two byte forms cannot come back as both; the
      // decoded text must still be the same.
      ASSERT_TRUE(back) << std::hex << lead << " " << trail;
      ASSERT_EQ(gbk->ToUtf8(*back), utf8) << std::hex << lead << " " << trail;
      ++checked;
    }
  }
  EXPECT_GT(checked, 21000) << "GBK has about 21,900 double-byte characters";
}

TEST(TextCodecTest, CharacterThatDoesNotFitGivesNothing) {
  const auto gbk = MakeCodec(936);
  const auto latin = MakeCodec(1252);
  ASSERT_TRUE(gbk && latin);
  EXPECT_FALSE(gbk->FromUtf8("ñ"));
  EXPECT_FALSE(gbk->FromUtf8("abc😀"));
  EXPECT_FALSE(latin->FromUtf8("中"));
  // No best-fit: "ā" would become "a" in a lossy conversion.
  EXPECT_FALSE(latin->FromUtf8("ā"));
  EXPECT_EQ(latin->FromUtf8("é€").value_or(""), "\xE9\x80");
  EXPECT_EQ(gbk->FromUtf8("€").value_or(""), "\x80");
  EXPECT_EQ(gbk->FromUtf8("").value_or("x"), "");
}

TEST(TextCodecTest, InvalidUtf8InputGivesNothing) {
  for (int cp : {936, 1252, 65001}) {
    const auto codec = MakeCodec(cp);
    ASSERT_TRUE(codec);
    EXPECT_FALSE(codec->FromUtf8("a\xC3")) << cp;
    EXPECT_FALSE(codec->FromUtf8("\xED\xA0\x80")) << cp << ": a surrogate is not UTF-8";
  }
}

// `before` followed by the escape of `byte`.
std::string Escaped(std::string before, unsigned char byte) {
  AppendByteEscape(before, byte);
  return before;
}
std::string Escaped(unsigned char byte) { return Escaped(std::string(), byte); }

// A byte that starts no character is kept as its escape, one per byte, and
// the encoder writes it back as that byte.
TEST(TextCodecTest, InvalidBytesAreEscapedOneByOneAndComeBack) {
  struct Case {
    int code_page;
    std::string bytes;
    std::string text;
  } const cases[] = {
      {936, "\x81", Escaped(0x81)},
      {936, "\x81\x30z", Escaped(0x81) + "0z"},  // the bad lead byte only
      {936, "\xD6\xD0\x81", Escaped("中", 0x81)},
      {936, "\xFF\xFF", Escaped(Escaped(0xFF), 0xFF)},
      {65001,
       "a\xFF"
       "b",
       Escaped("a", 0xFF) + "b"},
      {65001, "中\xE4\xB8", Escaped(Escaped("中", 0xE4), 0xB8)},
      {1252, "caf\xE9", "café"},  // every byte is a character there
  };
  for (const Case& c : cases) {
    const auto codec = MakeCodec(c.code_page);
    ASSERT_TRUE(codec);
    EXPECT_EQ(codec->ToUtf8(c.bytes), c.text) << c.code_page << " " << c.text;
    EXPECT_EQ(codec->FromUtf8(c.text).value_or("<none>"), c.bytes) << c.code_page << " " << c.text;
  }
}

TEST(Utf8Test, ByteEscapes) {
  for (int byte = 0; byte <= 0xFF; ++byte) {
    const std::string escape = Escaped(static_cast<unsigned char>(byte));
    ASSERT_EQ(escape.size(), kByteEscapeLength);
    ASSERT_TRUE(IsValidUtf8(escape));
    ASSERT_EQ(ByteEscapeAt("x" + escape, 1), byte);
    ASSERT_TRUE(HasByteEscape("ab" + escape));
  }
  EXPECT_EQ(ByteEscapeAt("\xF4\x8F\xBF\xBF", 0), -1) << "U+10FFFF is no escape";
  EXPECT_EQ(ByteEscapeAt("\xF4\x8F\xB8", 0), -1) << "cut short";
  EXPECT_EQ(ByteEscapeAt("abc", 5), -1);
  EXPECT_FALSE(HasByteEscape("plain 中文 😀"));
  EXPECT_EQ(EscapeMalformedUtf8("a\xE4\xB8z"), Escaped(Escaped("a", 0xE4), 0xB8) + "z");
  EXPECT_FALSE(EncodeWithByteEscapes(Escaped("ab", 1) + "cd",
                                     [](std::string_view run) -> std::optional<std::string> {
                                       if (run == "cd") return std::nullopt;
                                       return std::string(run);
                                     }))
      << "a stretch that does not encode fails the whole";
}

TEST(Utf8Test, ValidityRules) {
  EXPECT_TRUE(IsValidUtf8("plain 中文 😀"));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF")) << "overlong";
  EXPECT_FALSE(IsValidUtf8("\xE0\x80\xAF")) << "overlong";
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80")) << "above U+10FFFF";
  EXPECT_FALSE(IsValidUtf8("\xED\xBF\xBF")) << "surrogate";
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8")) << "truncated";
  EXPECT_TRUE(IsValidUtf8("\xF4\x8F\xBF\xBF"));
  EXPECT_EQ(SanitizeUtf8("a\xE4\xB8z"), "a\xEF\xBF\xBD\xEF\xBF\xBDz");
}

}  // namespace
}  // namespace zd
