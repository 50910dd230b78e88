#include "store/doc.h"

#include <gtest/gtest.h>

#include "store/AppParams.h"

namespace zd {
namespace {

TMyDocObj Prefilled() {
  TMyDocObj r;
  r.path = "old path";
  r.name = "old name";
  r.kind = 42;
  return r;
}

TEST(AppParamsTest, InitSetsTheEntryValues) {
  ProductName.clear();
  AppKey.clear();
  ProductVersion = 0;
  InitAppParams();
  EXPECT_EQ(ProductName, "Zapdock");
  EXPECT_EQ(AppKey, "VAROV");
  EXPECT_FLOAT_EQ(ProductVersion, 3.5f);
}

TEST(DocLineTest, BuildsShortAndLongForms) {
  EXPECT_EQ(MakeDocLine("C:\\a.exe", "A"), "C:\\a.exe*|*A");
  EXPECT_EQ(MakeLongDocLine("file:///C:/Work", "file:///C:/Work", 3),
            "file:///C:/Work*|*file:///C:/Work*2*3");
  EXPECT_EQ(MakeLongDocLine("p", "n", -7), "p*|*n*2*-7");
  EXPECT_EQ(MakeDocLine("C:\\a\tb.exe", "x\r\ny"), "C:\\a b.exe*|*x  y");
  EXPECT_EQ(MakeLongDocLine("p", std::string("a\0b", 3), 1), "p*|*a b*2*1");
}

TEST(ListLineSplitTest, LongFormGivesPathNameAndKind) {
  TMyDocObj r = Prefilled();
  ASSERT_TRUE(ListLineSplit("a*|*b*2*7", r));
  EXPECT_EQ(r.path, "a");
  EXPECT_EQ(r.name, "b");
  EXPECT_EQ(r.kind, 7);
}

TEST(ListLineSplitTest, ShortFormLeavesKindUnchanged) {
  TMyDocObj r = Prefilled();
  ASSERT_TRUE(ListLineSplit("a*|*b", r));
  EXPECT_EQ(r.path, "a");
  EXPECT_EQ(r.name, "b");
  EXPECT_EQ(r.kind, 42);
}

TEST(ListLineSplitTest, SecondSeparatorBelongsToTheName) {
  TMyDocObj r = Prefilled();
  ASSERT_TRUE(ListLineSplit("a*|*b*|*x", r));
  EXPECT_EQ(r.path, "a");
  EXPECT_EQ(r.name, "b*|*x");
  // The same with a kind: the first "*2*" after the path ends the name.
  ASSERT_TRUE(ListLineSplit("a*|*b*|*x*2*1*2*9", r));
  EXPECT_EQ(r.name, "b*|*x");
  EXPECT_EQ(r.kind, 42) << "\"1*2*9\" is not a number";
}

TEST(ListLineSplitTest, LineWithoutSeparatorLeavesRecordUnchanged) {
  TMyDocObj r = Prefilled();
  EXPECT_FALSE(ListLineSplit("just some text*2*3", r));
  EXPECT_EQ(r.path, "old path");
  EXPECT_EQ(r.name, "old name");
  EXPECT_EQ(r.kind, 42);
  EXPECT_FALSE(ListLineSplit("", r));
  EXPECT_FALSE(ListLineSplit("a*|b", r));
  EXPECT_EQ(r.path, "old path");
}

TEST(ListLineSplitTest, EmptyPartsAreAllowed) {
  TMyDocObj r = Prefilled();
  ASSERT_TRUE(ListLineSplit("*|*", r));
  EXPECT_EQ(r.path, "");
  EXPECT_EQ(r.name, "");
  EXPECT_EQ(r.kind, 42);
  ASSERT_TRUE(ListLineSplit("*|**2*2", r));
  EXPECT_EQ(r.name, "");
  EXPECT_EQ(r.kind, 2);
}

TEST(ListLineSplitTest, KindThatIsNotADecimalNumberKeepsTheOldKind) {
  for (const char* bad : {"", "x", "3x", "0x10", "1.5", "--1", "+-1", "99999999999", " ", "3 4"}) {
    TMyDocObj r = Prefilled();
    ASSERT_TRUE(ListLineSplit(std::string("p*|*n*2*") + bad, r)) << bad;
    EXPECT_EQ(r.kind, 42) << "kind text \"" << bad << "\"";
    EXPECT_EQ(r.name, "n");
  }
}

TEST(ListLineSplitTest, KindAcceptsSignsBlanksAndTheInt32Range) {
  struct Case {
    const char* text;
    int32_t kind;
  };
  for (const Case& c : {Case{"-3", -3}, Case{"+5", 5}, Case{" 2 ", 2}, Case{"007", 7},
                        Case{"2147483647", 2147483647}, Case{"-2147483648", INT32_MIN}}) {
    TMyDocObj r = Prefilled();
    ASSERT_TRUE(ListLineSplit(std::string("p*|*n*2*") + c.text, r));
    EXPECT_EQ(r.kind, c.kind) << c.text;
  }
  TMyDocObj r = Prefilled();
  ListLineSplit("p*|*n*2*2147483648", r);
  EXPECT_EQ(r.kind, 42) << "out of range";
}

TEST(ListLineSplitTest, ChineseTextSplitsOnBytesOnly) {
  TMyDocObj r = Prefilled();
  ASSERT_TRUE(ListLineSplit("C:\\文档\\报告.doc*|*报告*|*草稿*2*2", r));
  EXPECT_EQ(r.path, "C:\\文档\\报告.doc");
  EXPECT_EQ(r.name, "报告*|*草稿");
  EXPECT_EQ(r.kind, 2);
}

TEST(LineRowTextTest, TextAfterTheFirstSeparator) {
  EXPECT_EQ(LineRowText("a*|*b"), "b");
  EXPECT_EQ(LineRowText("a*|*b*|*c"), "b*|*c");
  EXPECT_EQ(LineRowText("a*|*b*2*3"), "b*2*3");
  EXPECT_EQ(LineRowText("no separator"), "no separator");
  EXPECT_EQ(LineRowText("a*|*"), "");
}

TEST(StripFilePrefixTest, DropsEverythingUpToTheFirstPrefix) {
  EXPECT_EQ(StripFilePrefix("file:///C:/x"), "C:/x");
  EXPECT_EQ(StripFilePrefix("see file:///C:/x"), "C:/x");
  EXPECT_EQ(StripFilePrefix("file:///file:///y"), "file:///y");
  EXPECT_EQ(StripFilePrefix("http://a/b"), "http://a/b");
  EXPECT_EQ(StripFilePrefix("FILE:///C:/x"), "FILE:///C:/x") << "the match is case-sensitive";
  EXPECT_EQ(StripFilePrefix(""), "");
}

TEST(TrimTest, RemovesBlanksAndControlCharactersAtBothEnds) {
  EXPECT_EQ(Trim("  a b \t\r\n"), "a b");
  EXPECT_EQ(Trim("\x01\x1f"
                 "x"
                 "\x7f"),
            "x\x7f")
      << "DEL is above the blank";
  EXPECT_EQ(Trim(" \t "), "");
  EXPECT_EQ(Trim(""), "");
  // Lead bytes of UTF-8 are above the blank and must survive.
  EXPECT_EQ(Trim(" 中文 "), "中文");
  EXPECT_EQ(Trim("\xE3\x80\x80"
                 "x"),
            "\xE3\x80\x80"
            "x")
      << "the ideographic space stays";
}

TEST(DocPathKeyTest, ALocalPathIsOneDocumentWhateverItsCaseAWebAddressKeepsItsCase) {
  struct Case {
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"C:\\WINDOWS\\SYSTEM32\\NOTEPAD.EXE", "C:\\windows\\system32\\notepad.exe", true},
      {"C:\\Work\\Proj", "c:/work/proj/", true},
      {"C:\\Work\\Proj\\", "file:///C:/Work/Proj", true},
      {"\\\\Server\\Share\\A.txt", "\\\\server\\share\\a.txt", true},
      {"//srv/x", "\\\\SRV\\X\\", true},
      {"C:\\", "c:", false},  // the root, and the current folder of drive C:
      {"C:\\", "c:/", true},
      {"C:\\a", "C:\\b", false},
      {"C:\\中文\\A", "c:\\中文\\a", true},
      {"http://Host/Read.php?ID=7", "http://host/read.php?id=7", false},
      {"http://host/a", "http://host/a", true},
      {"Notes", "notes", false},
      {"C:\\a\\b", "D:\\a\\b", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DocPathKey(c.a) == DocPathKey(c.b), c.same) << c.a << " | " << c.b;
  }
  EXPECT_EQ(DocPathKey("http://Host/A"), "http://Host/A");
}

}  // namespace
}  // namespace zd
