#include "launch/han_search.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "launch/han_reference_for_tests.h"

namespace zd {
namespace {

bool Matches(const std::string& text, const std::string& key) {
  return HanKey(FoldForSearch(key)).Matches(FoldForSearch(text));
}

MatchQuality QualityOf(const std::string& text, const std::string& key) {
  return HanKey(FoldForSearch(key)).Quality(FoldForSearch(text));
}

TEST(HanSearch, FoldingLowersLettersAndWritesOneScript) {
  const std::pair<std::string, std::string> cases[] = {
      {"周度報告.DOCX", "周度报告.docx"},
      {"臺灣 Taipei", "台湾 taipei"},
      {"乾隆", "乾隆"},                    // a simplified form itself: kept
      {"ÄÖ Straße", "ÄÖ straße"},          // only ASCII letters are lowered
      {"\xB0\xA1x\xE5", "\xB0\xA1x\xE5"},  // stray bytes stay
      {"", ""},
  };
  for (const auto& [text, folded] : cases) EXPECT_EQ(FoldForSearch(text), folded) << text;
}

TEST(HanSearch, KeysSpellTheReadingsOfChineseNames) {
  struct Case {
    const char* text;
    const char* key;
    bool match;
  };
  const Case cases[] = {
      // Initials, full readings, cut short, mixed with Latin letters and digits.
      {"周度报告2026.docx", "bg", true},
      {"周度报告2026.docx", "baogao", true},
      {"周度报告2026.docx", "baog", true},
      {"周度报告2026.docx", "zdbg", true},
      {"周度报告2026.docx", "bg2026", true},
      {"周度报告2026.docx", "zhoudubaogao", true},
      {"周度报告2026.docx", "zdbaog", true},
      {"周度报告2026.docx", "BG2026.DOCX", true},
      {"周度报告2026.docx", "报g", true},
      {"周度报告2026.docx", "b告", true},
      {"周度报告2026.docx", "报告", true},
      {"周度报告2026.docx", "bgg", false},
      {"周度报告2026.docx", "ag", false},  // a reading is spelled from its start
      {"周度报告2026.docx", "aogao", false},
      {"周度报告2026.docx", "2026bg", false},
      {"周度报告2026.docx", "bg.docx", false},  // 2026 is skipped by no one
      {"周度报告2026.docx", "zdg", false},      // no character is skipped either
      {"周度报告2026.docx", "zbg", true},       // 度 is zhái too
      // Several readings: any of them.
      {"行长", "hz", true},
      {"行长", "xz", true},
      {"行长", "hangzhang", true},
      {"行长", "xingchang", true},
      {"行长", "hc", true},
      {"行长", "hx", false},
      {"重庆", "cq", true},
      {"重庆", "zq", true},
      {"绿色", "lvse", true},
      {"绿色", "luse", true},
      {"绿色", "ls", true},
      // Names without Chinese match as they are.
      {"Notepad++", "np", false},
      {"Notepad++", "note", true},
      {"Notepad++", "PAD++", true},
      {"C:\\Tools\\bg.exe", "bg", true},
      // Either script finds the other.
      {"報告", "bg", true},
      {"報告", "报告", true},
      {"报告", "報告", true},
      {"臺灣銀行", "台湾yh", true},
      {"", "bg", false},
      {"报告", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Matches(c.text, c.key), c.match) << c.text << " / " << c.key;
  }
}

TEST(HanSearch, QualityWholeNamePrefixWordStartSubstring) {
  using Q = MatchQuality;
  struct Case {
    const char* text;
    const char* key;
    Q quality;
  };
  const Case cases[] = {
      {"报告", "bg", Q::kWhole},
      {"报告", "baog", Q::kWhole},
      {"报告", "b", Q::kPrefix},
      {"D:\\资料\\报告", "bg", Q::kWhole},    // the last component whole
      {"C:\\Work\\报告\\", "bg", Q::kWhole},  // trailing separators left out
      {"报告 - 草稿", "bg", Q::kPrefix},
      {"周度报告", "zd", Q::kPrefix},
      {"周度报告", "bg", Q::kSubstring},  // inside a run of characters
      {"2026报告", "bg", Q::kWordStart},  // where digits meet characters
      {"D:\\报告\\2026", "bg", Q::kWordStart},
      {"app12.exe", "exe", Q::kWordStart},
      {"app12.exe", "pp", Q::kSubstring},
      {"app12.exe", "app12.exe", Q::kWhole},
      {"Notepad", "pad", Q::kSubstring},
      {"报告", "x", Q::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QualityOf(c.text, c.key), c.quality) << c.text << " / " << c.key;
  }
  // Plain text, byte for byte.
  EXPECT_EQ(LiteralQuality("app12.exe", "exe"), Q::kWordStart);
  EXPECT_EQ(LiteralQuality("c:\\work\\proj\\", "proj"), Q::kWhole);
  EXPECT_EQ(LiteralQuality("xexe.exe", "exe"), Q::kWordStart) << "the best occurrence";
  EXPECT_EQ(LiteralQuality("exe", "exe"), Q::kWhole);
  EXPECT_EQ(LiteralQuality("ex", "exe"), Q::kNone);
}

// Texts from pieces that make the rules meet: characters of several
// readings, letters that are also initials, digits, separators, stray bytes.
std::string RandomText(std::mt19937& rng, size_t pieces) {
  static const char* const kPieces[] = {"行", "长", "重", "报", "告", "周", "度",   "绿", "報",
                                        "臺", "b",  "g",  "a",  "o",  "h",  "x",    "z",  "2",
                                        "0",  " ",  "\\", ".",  "-",  "é",  "\xB0", "Ba", "ng"};
  std::string text;
  for (size_t i = 0; i < pieces; ++i) text += kPieces[rng() % std::size(kPieces)];
  return text;
}

// A key spelled through a piece of the text: each character by itself, by
// its initial or by a leading part of one of its readings; now and then
// changed so that it may match nothing.
std::string RandomKey(std::mt19937& rng, const std::string& folded) {
  const std::vector<reference::Unit> units = reference::UnitsOf(folded);
  if (units.empty()) return "a";
  size_t i = rng() % units.size();
  const size_t count = 1 + rng() % 5;
  std::string key;
  for (size_t n = 0; n < count && i < units.size(); ++n, ++i) {
    const reference::Unit& u = units[i];
    const auto readings =
        u.code >= 0x80 && u.code < kStrayUnit ? han::Readings(u.code) : std::span<const uint16_t>();
    if (readings.empty() || rng() % 4 == 0) {
      key += folded.substr(u.pos, u.next - u.pos);
    } else {
      const std::string_view letters = han::Syllable(readings[rng() % readings.size()]);
      key += letters.substr(0, 1 + rng() % letters.size());
    }
  }
  if (rng() % 5 == 0) key.insert(rng() % (key.size() + 1), 1, static_cast<char>('a' + rng() % 26));
  return key;
}

TEST(HanSearch, TheAutomatonAgreesWithAWalkOverEverySpelling) {
  std::mt19937 rng(15);
  size_t matched = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string folded = FoldForSearch(RandomText(rng, 1 + rng() % 12));
    const std::string key = FoldForSearch(RandomKey(rng, folded));
    const HanKey compiled(key);
    const MatchQuality expected = reference::Quality(folded, key);
    ASSERT_EQ(compiled.Quality(folded), expected) << folded << " / " << key;
    ASSERT_EQ(compiled.Matches(folded), expected != MatchQuality::kNone) << folded << " / " << key;
    matched += expected != MatchQuality::kNone;
  }
  EXPECT_GT(matched, 1000u) << "the keys mostly match";
}

// A signature may only rule out records that cannot match.
TEST(HanSearch, SignaturesNeverRuleOutAMatch) {
  std::mt19937 rng(16);
  for (int round = 0; round < 3000; ++round) {
    const std::string path = FoldForSearch(RandomText(rng, 1 + rng() % 10));
    const std::string name = FoldForSearch(RandomText(rng, 1 + rng() % 10));
    const std::string key = FoldForSearch(RandomKey(rng, rng() % 2 ? path : name));
    const HanKey compiled(key);
    if (!compiled.usable()) continue;
    const HanSignature sig = SignatureOf(path, name);
    const bool match = compiled.Matches(path) || compiled.Matches(name);
    if (!match) continue;
    uint64_t classes = 0;
    for (const char c : key) classes |= uint64_t{1} << kByteClass[static_cast<unsigned char>(c)];
    ASSERT_EQ(sig.letters & classes, classes) << path << " / " << name << " / " << key;
    const bool literal = path.find(key) != std::string::npos || name.find(key) != std::string::npos;
    if (literal) continue;
    if (compiled.units() == 1) {
      ASSERT_TRUE((sig.initials >> (compiled.unit(0) - 'a')) & 1) << path << " / " << name;
    }
  }
}

}  // namespace
}  // namespace zd
