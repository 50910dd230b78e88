#include "store/text_file.h"

#include <gtest/gtest.h>

#include "platform/fake_files.h"
#include "platform/utf8.h"

namespace zd {
namespace {

class TextFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gbk);
    ASSERT_TRUE(latin);
  }
  std::unique_ptr<AnsiCodec> gbk = MakeCodec(936);
  std::unique_ptr<AnsiCodec> latin = MakeCodec(1252);
};

TEST_F(TextFileTest, GbkTextRoundTripsThroughTheCodePage) {
  const std::string text = "收藏夹\r\nC:\\我的文档\\报告.doc*|*报告 (最终版)\r\n";
  const std::string bytes = EncodeText(text, *gbk);
  EXPECT_NE(bytes.substr(0, 3), kUtf8Bom);
  EXPECT_EQ(bytes.size(), text.size() - 14) << "two bytes per Chinese character, not three";
  EXPECT_EQ(DecodeText(bytes, *gbk), text);
}

TEST_F(TextFileTest, KnownGbkBytes) {
  EXPECT_EQ(EncodeText("中文", *gbk), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(DecodeText("\xD6\xD0\xCE\xC4", *gbk), "中文");
  EXPECT_EQ(EncodeText("abc", *gbk), "abc");
}

TEST_F(TextFileTest, CharactersOutsideTheCodePageGiveUtf8WithBom) {
  for (const char* text : {"Año", "😀", "한국어", "中文 ñ"}) {
    const std::string bytes = EncodeText(text, *gbk);
    EXPECT_EQ(bytes, std::string(kUtf8Bom) + text) << text;
    EXPECT_EQ(DecodeText(bytes, *gbk), text);
  }
  // The same text fits code page 1252 and is written there.
  EXPECT_EQ(EncodeText("Año", *latin), "A\xF1o");
  EXPECT_EQ(EncodeText("中文", *latin), std::string(kUtf8Bom) + "中文");
}

TEST_F(TextFileTest, BomFileIsReadAsUtf8WhateverTheCodePage) {
  const std::string bytes = std::string(kUtf8Bom) + "中文*|*名字\r\n";
  EXPECT_EQ(DecodeText(bytes, *gbk), "中文*|*名字\r\n");
  EXPECT_EQ(DecodeText(bytes, *latin), "中文*|*名字\r\n");
  EXPECT_EQ(DecodeText(kUtf8Bom, *gbk), "");
}

// `before` followed by the escape of `byte`.
std::string Escaped(std::string before, unsigned char byte) {
  AppendByteEscape(before, byte);
  return before;
}
std::string Escaped(unsigned char byte) { return Escaped(std::string(), byte); }

// How a file is read and written back, for each kind of file the program
// meets and the system code pages that matter. `saved` is what a save of the
// unchanged text writes; empty when it is the file itself.
struct FileCase {
  const char* what;
  int system_code_page;
  std::string bytes;
  std::string text;
  bool utf8;
  std::string saved;
};

TEST(TextFileEncodingTest, FilesAreReadAndWrittenBackWithoutLoss) {
  const std::string bom(kUtf8Bom);
  const std::string gbk_doc = "\xCE\xC4\xB5\xB5";  // 文档 in code page 936
  const FileCase cases[] = {
      {"GBK", 936, gbk_doc + "\r\nC:\\" + gbk_doc + "\r\n", "文档\r\nC:\\文档\r\n", false, ""},
      {"GBK on a UTF-8 system", 65001, gbk_doc + "\r\n", "文档\r\n", false, ""},
      {"ASCII on a UTF-8 system", 65001, "a*|*b\r\n", "a*|*b\r\n", false, ""},
      {"UTF-8 with BOM", 936, bom + "文档 ñ\r\n", "文档 ñ\r\n", true, ""},
      {"UTF-8 without BOM", 936, "文档\r\n", "文档\r\n", true, bom + "文档\r\n"},
      {"UTF-8 without BOM on a UTF-8 system", 65001, "文档", "文档", true, bom + "文档"},
      {"BOM plus appended GBK lines", 936, bom + "文档\r\n" + gbk_doc + "\r\n" + gbk_doc,
       "文档\r\n文档\r\n文档", true, bom + "文档\r\n文档\r\n文档"},
      {"BOM plus a GBK line on a UTF-8 system", 65001, bom + "a\n" + gbk_doc + "\r\r\n",
       "a\n文档\r\r\n", true, bom + "a\n文档\r\r\n"},
      {"odd trailing byte", 936, gbk_doc + "\xD6", Escaped("文档", 0xD6), false, ""},
      {"bad lead byte before a blank", 936, "a\x81 b", Escaped("a", 0x81) + " b", false, ""},
      {"BOM plus a GBK line with an odd trailing byte", 936, bom + "x\r\n" + gbk_doc + "\xD6",
       Escaped("x\r\n文档", 0xD6), true, Escaped(bom + "x\r\n文档", 0xD6)},
      {"Shift-JIS on a 932 system", 932, "\x93\xFA\x96\x7B\x8C\xEA\r\n", "日本語\r\n", false, ""},
      {"malformed UTF-8 after a BOM is a legacy line", 932, bom + "x\xC3(\xE4",
       Escaped("xﾃ(", 0xE4), true, Escaped(bom + "xﾃ(", 0xE4)},
      // The rule's own ambiguity: 一 in code page 936 is valid UTF-8.
      {"GBK that passes for UTF-8", 936, "\xD2\xBB", "\xD2\xBB", true, bom + "\xD2\xBB"},
  };
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.what);
    const auto legacy = MakeLegacyCodec(c.system_code_page);
    ASSERT_TRUE(legacy);
    const DecodedText read = DecodeTextFile(c.bytes, *legacy);
    EXPECT_EQ(read.text, c.text);
    EXPECT_EQ(read.utf8, c.utf8);
    EXPECT_EQ(read.text.find(kReplacementChar), std::string::npos);
    const std::string saved = EncodeText(read.text, *legacy, read.utf8);
    EXPECT_EQ(saved, c.saved.empty() ? c.bytes : c.saved);
    // And the saved file reads back as the same text, of the same kind.
    const DecodedText again = DecodeTextFile(saved, *legacy);
    EXPECT_EQ(again.text, read.text);
    EXPECT_EQ(again.utf8, read.utf8);
  }
}

// Which encoding a save chooses for a text, given how its file was read.
TEST(TextFileEncodingTest, WriteRule) {
  const std::string bom(kUtf8Bom);
  struct Case {
    const char* what;
    std::string text;
    bool read_as_utf8;
    std::string bytes;
  } const cases[] = {
      {"fits, file was legacy", "文档", false, "\xCE\xC4\xB5\xB5"},
      {"fits, file was UTF-8", "文档", true, bom + "文档"},
      {"ASCII, file was UTF-8", "abc", true, bom + "abc"},
      {"does not fit", "문서 文档", false, bom + "문서 文档"},
      {"code page bytes that would pass for UTF-8", "为之一", false, bom + "为之一"},
      {"escaped byte kept", Escaped("a", 0x81) + " b", false, "a\x81 b"},
      // D6 then 'a' would be read back as one double-byte character.
      {"escaped byte that would pair with the next", Escaped(0xD6) + "a", false,
       Escaped(bom, 0xD6) + "a"},
      {"escaped byte in a UTF-8 file", Escaped("x", 0xD6), true, Escaped(bom + "x", 0xD6)},
  };
  const auto gbk = MakeLegacyCodec(936);
  ASSERT_TRUE(gbk);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string bytes = EncodeText(c.text, *gbk, c.read_as_utf8);
    EXPECT_EQ(bytes, c.bytes);
    EXPECT_EQ(DecodeText(bytes, *gbk), c.text);
  }
}

// No byte sequence read is ever written back as U+FFFD: every file of two
// bytes (a lead byte and anything after it) reads back as it was read after
// a save, and bytes no decoding could place go back unchanged.
TEST(TextFileEncodingTest, EveryLeadBytePairSurvivesAReadAndASave) {
  for (int cp : {936, 932}) {
    const auto legacy = MakeLegacyCodec(cp);
    ASSERT_TRUE(legacy);
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
      for (int next = 0; next <= 0xFF; ++next) {
        const std::string bytes{static_cast<char>(lead), static_cast<char>(next)};
        const DecodedText read = DecodeTextFile(bytes, *legacy);
        ASSERT_EQ(read.text.find(kReplacementChar), std::string::npos)
            << cp << " " << std::hex << lead << " " << next;
        const std::string saved = EncodeText(read.text, *legacy, read.utf8);
        ASSERT_EQ(DecodeText(saved, *legacy), read.text) << cp << " " << std::hex << lead;
        // Only a character with two byte forms may come back in the other one.
        if (HasByteEscape(read.text) && !saved.starts_with(kUtf8Bom)) {
          ASSERT_EQ(saved, bytes) << cp << " " << std::hex << lead << " " << next;
        }
      }
    }
  }
}

TEST(LegacyCodePageTest, TheSystemCodePageUnlessItIsUtf8) {
  const std::pair<int, int> cases[] = {
      {936, 936}, {932, 932}, {1252, 1252}, {65001, 936}, {0, 936}};
  for (const auto& [system, legacy] : cases) {
    EXPECT_EQ(LegacyCodePage(system), legacy) << system;
    const auto codec = MakeLegacyCodec(system);
    ASSERT_TRUE(codec);
    EXPECT_EQ(codec->CodePage(), legacy) << system;
  }
}

TEST_F(TextFileTest, CodePageBytesThatLookLikeABomAreWrittenAsUtf8) {
  // EF BB and BF 41 are two valid characters in code page 936; written in the
  // code page the file would start with EF BB BF and be read back as UTF-8.
  const std::string text = gbk->ToUtf8("\xEF\xBB\xBF\x41");
  ASSERT_EQ(text.find("\xEF\xBF\xBD"), std::string::npos);
  ASSERT_EQ(gbk->FromUtf8(text).value_or(""), "\xEF\xBB\xBF\x41");
  const std::string bytes = EncodeText(text, *gbk);
  EXPECT_EQ(bytes, std::string(kUtf8Bom) + text);
  EXPECT_EQ(DecodeText(bytes, *gbk), text);
}

TEST_F(TextFileTest, LeadingBomCharacterInTheTextSurvives) {
  const std::string text = std::string(kUtf8Bom) + "x";  // U+FEFF as the first character
  EXPECT_EQ(DecodeText(EncodeText(text, *gbk), *gbk), text);
  const auto utf8 = MakeCodec(65001);
  ASSERT_TRUE(utf8);
  EXPECT_EQ(DecodeText(EncodeText(text, *utf8), *utf8), text);
}

TEST(SplitLinesTest, AllLineEndsAndNoEmptyLastLine) {
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_EQ(SplitLines("\n\r"), (std::vector<std::string>{"", ""})) << "LF then CR: two ends";
  EXPECT_EQ(SplitLines("\r\n"), (std::vector<std::string>{""}));
  EXPECT_TRUE(SplitLines("").empty());
}

TEST(JoinLinesTest, EveryLineEndsWithCrLf) {
  EXPECT_EQ(JoinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
  EXPECT_EQ(JoinLines({}), "");
  EXPECT_EQ(SplitLines(JoinLines({"x", "", "y"})), (std::vector<std::string>{"x", "", "y"}));
}

TEST(TextFileIoTest, LoadAndSaveThroughFiles) {
  FakeFiles files;
  files.AddDirectory("C:\\d");
  const auto gbk = MakeCodec(936);
  ASSERT_TRUE(gbk);
  EXPECT_FALSE(LoadText(files, *gbk, "C:\\d\\none.txt"));
  ASSERT_TRUE(SaveText(files, *gbk, "C:\\d\\n.txt", "便笺\r\n"));
  EXPECT_EQ(files.files().at("C:\\d\\n.txt"), "\xB1\xE3\xBC\xE3\r\n");
  EXPECT_EQ(LoadText(files, *gbk, "C:\\d\\n.txt").value_or(""), "便笺\r\n");
  files.FailReadsOf("C:\\d\\n.txt");
  EXPECT_FALSE(LoadText(files, *gbk, "C:\\d\\n.txt"));
  EXPECT_FALSE(SaveText(files, *gbk, "C:\\missing\\n.txt", "x"));
}

}  // namespace
}  // namespace zd
