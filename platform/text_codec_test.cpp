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
      if (utf8.find(kReplacementChar) != std::string::npos) continue;  // unassigned
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

TEST(TextCodecTest, InvalidBytesBecomeOneReplacementEach) {
  const auto gbk = MakeCodec(936);
  ASSERT_TRUE(gbk);
  EXPECT_EQ(gbk->ToUtf8("\x81"), "\xEF\xBF\xBD");
  EXPECT_EQ(gbk->ToUtf8("\x81\x30z"),
            "\xEF\xBF\xBD"
            "0z")
      << "the bad lead byte only";
  EXPECT_EQ(gbk->ToUtf8("\xD6\xD0\x81"), "中\xEF\xBF\xBD");
  const auto utf8 = MakeCodec(65001);
  ASSERT_TRUE(utf8);
  EXPECT_EQ(utf8->ToUtf8("a\xFF"
                         "b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(utf8->ToUtf8("中"), "中");
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
