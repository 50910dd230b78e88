#include "lang/han_chars.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "platform/text_codec.h"

namespace zd::han {
namespace {

std::vector<std::string> ReadingsOf(char32_t cp) {
  std::vector<std::string> out;
  for (const uint16_t s : Readings(cp)) out.emplace_back(Syllable(s));
  return out;
}

bool Has(const std::vector<std::string>& readings, const std::string& syllable) {
  return std::find(readings.begin(), readings.end(), syllable) != readings.end();
}

TEST(HanChars, ReadingsWithoutTonesTheMostCommonFirst) {
  struct Case {
    char32_t cp;
    std::string first;               // kMandarin's reading
    std::vector<std::string> also;   // among the others
    std::vector<std::string> never;  // not a reading of it
  };
  const Case cases[] = {
      {U'报', "bao", {}, {"bo"}},
      {U'告', "gao", {}, {}},
      {U'行', "xing", {"hang", "heng"}, {}},
      {U'重', "zhong", {"chong"}, {}},
      {U'了', "le", {"liao"}, {}},
      // "ü" typed as v, and as u by those who never learnt the v.
      {U'绿', "lv", {"lu"}, {}},
      {U'女', "nv", {"nu"}, {}},
      // The dictionary readings of 長 come with it: 长 is cháng as well.
      {U'长', "zhang", {"chang"}, {}},
      {U'乾', "qian", {"gan"}, {}},
      // 干 is simplified for 幹 but not for 乾, whose qián it never takes.
      {U'干', "gan", {}, {"qian"}},
      {U'著', "zhe", {"zhu", "zhuo", "zhao"}, {}},
      {U'𠀀', "he", {}, {}},  // beyond the first plane
  };
  for (const Case& c : cases) {
    const std::vector<std::string> readings = ReadingsOf(c.cp);
    SCOPED_TRACE(static_cast<uint32_t>(c.cp));
    ASSERT_FALSE(readings.empty());
    EXPECT_EQ(readings.front(), c.first);
    for (const std::string& s : c.also) EXPECT_TRUE(Has(readings, s)) << s;
    for (const std::string& s : c.never) EXPECT_FALSE(Has(readings, s)) << s;
    EXPECT_EQ(std::set<std::string>(readings.begin(), readings.end()).size(), readings.size());
  }
  for (const char32_t none :
       {U'A', U'é', U'，', U'あ', U'가', char32_t{0x2E7F}, char32_t{0x10FFFF}}) {
    EXPECT_TRUE(Readings(none).empty()) << static_cast<uint32_t>(none);
  }
}

TEST(HanChars, TraditionalOnlyCharactersFoldToTheirSimplifiedForm) {
  const std::pair<char32_t, char32_t> cases[] = {
      {U'報', U'报'},
      {U'告', U'告'},
      {U'臺', U'台'},
      {U'颱', U'台'},
      {U'檯', U'台'},
      {U'灣', U'湾'},
      {U'傳', U'传'},
      {U'麵', U'面'},
      {U'長', U'长'},
      {U'幹', U'干'},
      // Characters that are also simplified forms stay themselves.
      {U'乾', U'乾'},
      {U'著', U'著'},
      {U'台', U'台'},
      {U'报', U'报'},
      {U'A', U'A'},
      {U'é', U'é'},
      {char32_t{0x10FE41}, char32_t{0x10FE41}},
  };
  for (const auto& [from, to] : cases) {
    EXPECT_EQ(static_cast<uint32_t>(Fold(from)), static_cast<uint32_t>(to))
        << static_cast<uint32_t>(from);
  }
}

TEST(HanChars, FoldingTwiceChangesNothingAndKeepsTheReadings) {
  size_t folded = 0;
  for (char32_t cp = 0; cp < 0x40000; ++cp) {
    const char32_t once = Fold(cp);
    ASSERT_EQ(Fold(once), once) << static_cast<uint32_t>(cp);
    if (once == cp) continue;
    ++folded;
    // What the traditional form is read as, the simplified one is too.
    const std::vector<std::string> simplified = ReadingsOf(once);
    for (const std::string& s : ReadingsOf(cp)) {
      ASSERT_TRUE(Has(simplified, s)) << static_cast<uint32_t>(cp) << " " << s;
    }
  }
  EXPECT_EQ(folded, Stats().folds);
}

TEST(HanChars, EverySyllableIsLowerCaseLettersOnceInOrder) {
  ASSERT_GT(SyllableCount(), 400u);
  for (uint16_t s = 0; s < SyllableCount(); ++s) {
    const std::string_view letters = Syllable(s);
    ASSERT_GE(letters.size(), 1u);
    ASSERT_LE(letters.size(), kMaxSyllableLength);
    for (const char c : letters) {
      ASSERT_TRUE(c >= 'a' && c <= 'z') << letters;
    }
    if (s > 0) {
      ASSERT_LT(Syllable(s - 1), letters);
    }
  }
  EXPECT_TRUE(Syllable(static_cast<uint16_t>(SyllableCount())).empty());
}

// The oracle is the code page the names come in: every character of GB2312's
// first level (the 3,755 most used) has a reading.
TEST(HanChars, EveryCommonCharacterOfCodePage936HasAReading) {
  const std::unique_ptr<AnsiCodec> codec = MakeCodec(936);
  ASSERT_NE(codec, nullptr);
  size_t seen = 0;
  for (int lead = 0xB0; lead <= 0xD7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      if (lead == 0xD7 && trail > 0xF9) {
        break;  // level one ends at D7F9
      }
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = codec->ToUtf8(bytes);
      ASSERT_EQ(utf8.size(), 3u) << lead << " " << trail;
      const char32_t cp = (char32_t(utf8[0] & 0x0F) << 12) | (char32_t(utf8[1] & 0x3F) << 6) |
                          char32_t(utf8[2] & 0x3F);
      EXPECT_FALSE(Readings(cp).empty()) << utf8;
      EXPECT_EQ(Fold(cp), cp) << utf8 << ": the code page holds simplified forms";
      ++seen;
    }
  }
  EXPECT_EQ(seen, 3755u);
}

TEST(HanChars, CharactersShareTheirReadingSets) {
  const TableStats stats = Stats();
  EXPECT_GT(stats.characters, 40000u);
  EXPECT_GT(stats.folds, 5000u);
  EXPECT_LT(stats.reading_sets, stats.characters / 4) << "characters share their sets";
}

}  // namespace
}  // namespace zd::han
