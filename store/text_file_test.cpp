#include "store/text_file.h"

#include <gtest/gtest.h>

#include "platform/fake_files.h"

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

TEST_F(TextFileTest, InvalidBytesBecomeReplacementCharacters) {
  // A lead byte before a blank, and a lead byte at the very end.
  EXPECT_EQ(DecodeText("a\x81 b\xD6", *gbk), "a\xEF\xBF\xBD b\xEF\xBF\xBD");
  // Malformed UTF-8 after a BOM.
  EXPECT_EQ(DecodeText(std::string(kUtf8Bom) + "x\xC3(\xF0\x9F", *gbk),
            "x\xEF\xBF\xBD(\xEF\xBF\xBD\xEF\xBF\xBD");
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
