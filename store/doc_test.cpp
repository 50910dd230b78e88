#include "store/doc.h"

#include <gtest/gtest.h>

#include "store/program_files.h"
#include "zd_version.h"

namespace zd {
namespace {

DocLine Prefilled() {
  DocLine r;
  r.path = "old path";
  r.name = "old name";
  r.kind = 42;
  return r;
}

TEST(ProgramValuesTest, InitSetsTheEntryValues) {
  ProductName.clear();
  AppKey.clear();
  ProductVersion = 0;
  InitProgramValues();
  EXPECT_EQ(ProductName, "Zapdock");
  EXPECT_EQ(AppKey, "VAROV");
  EXPECT_FLOAT_EQ(ProductVersion, ZD_VERSION_NUMBER);
}

TEST(DocLineTest, BuildsShortAndLongForms) {
  EXPECT_EQ(MakeDocLine("C:\\a.exe", "A"), "C:\\a.exe*|*A");
  EXPECT_EQ(MakeLongDocLine("file:///C:/Work", "file:///C:/Work", 3),
            "file:///C:/Work*|*file:///C:/Work*2*3");
  EXPECT_EQ(MakeLongDocLine("p", "n", -7), "p*|*n*2*-7");
  EXPECT_EQ(MakeDocLine("C:\\a\tb.exe", "x\r\ny"), "C:\\a b.exe*|*x  y");
  EXPECT_EQ(MakeLongDocLine("p", std::string("a\0b", 3), 1), "p*|*a b*2*1");
}

// A line splits into path, name and kind; a line that does not split, and a
// kind that is not a decimal int32, leave the record's fields as they were
// ("old path", "old name", 42).
TEST(ListLineSplitTest, OneLinePerCase) {
  struct Case {
    std::string line;
    bool split;
    const char* path;
    const char* name;
    int32_t kind;
  };
  std::vector<Case> cases = {
      {"a*|*b*2*7", true, "a", "b", 7},
      {"a*|*b", true, "a", "b", 42},  // the short form keeps the kind
      // A second separator belongs to the name; the first "*2*" after the
      // path ends it ("1*2*9" is not a number).
      {"a*|*b*|*x", true, "a", "b*|*x", 42},
      {"a*|*b*|*x*2*1*2*9", true, "a", "b*|*x", 42},
      {"just some text*2*3", false, "old path", "old name", 42},
      {"", false, "old path", "old name", 42},
      {"a*|b", false, "old path", "old name", 42},
      {"*|*", true, "", "", 42},
      {"*|**2*2", true, "", "", 2},
      {"p*|*n*2*-3", true, "p", "n", -3},
      {"p*|*n*2*+5", true, "p", "n", 5},
      {"p*|*n*2* 2 ", true, "p", "n", 2},
      {"p*|*n*2*007", true, "p", "n", 7},
      {"p*|*n*2*2147483647", true, "p", "n", 2147483647},
      {"p*|*n*2*-2147483648", true, "p", "n", INT32_MIN},
      {"p*|*n*2*2147483648", true, "p", "n", 42},  // out of range
      // Chinese text splits on bytes only.
      {"C:\\文档\\报告.doc*|*报告*|*草稿*2*2", true, "C:\\文档\\报告.doc", "报告*|*草稿", 2},
  };
  for (const char* bad : {"", "x", "3x", "0x10", "1.5", "--1", "+-1", "99999999999", " ", "3 4"}) {
    cases.push_back({std::string("p*|*n*2*") + bad, true, "p", "n", 42});
  }
  for (const Case& c : cases) {
    DocLine r = Prefilled();
    EXPECT_EQ(ListLineSplit(c.line, r), c.split) << c.line;
    EXPECT_EQ(r.path, c.path) << c.line;
    EXPECT_EQ(r.name, c.name) << c.line;
    EXPECT_EQ(r.kind, c.kind) << c.line;
  }
}

TEST(LineRowTextTest, TextAfterTheFirstSeparator) {
  EXPECT_EQ(LineRowText("a*|*b"), "b");
  EXPECT_EQ(LineRowText("a*|*b*|*c"), "b*|*c");
  EXPECT_EQ(LineRowText("a*|*b*2*3"), "b*2*3");
  EXPECT_EQ(LineRowText("no separator"), "no separator");
  EXPECT_EQ(LineRowText("a*|*"), "");
}

TEST(StripFilePrefixTest, DropsThePrefixTheTextStartsWith) {
  EXPECT_EQ(StripFilePrefix("file:///C:/x"), "C:/x");
  EXPECT_EQ(StripFilePrefix("see file:///C:/x"), "see file:///C:/x") << "only at the start";
  EXPECT_EQ(StripFilePrefix("file:///file:///y"), "file:///y");
  EXPECT_EQ(StripFilePrefix("http://a/b"), "http://a/b");
  EXPECT_EQ(StripFilePrefix("FILE:///C:/x"), "C:/x") << "the scheme in any letter case";
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
