#include "tracking/doc_kinds.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(DocKindsTest, AsciiCaseOnly) {
  EXPECT_EQ(UpperAscii("abc-XYZ-é-我的电脑-z"), "ABC-XYZ-é-我的电脑-Z");
  EXPECT_EQ(LowerAscii("ABC-xyz-É-桌面-A"), "abc-xyz-É-桌面-a");
  // The comparisons agree with comparing the lowered copies (the reference).
  const char* words[] = {"", "a", "A", "ab", "aB", "b", "_", "[", "é", "É", "桌面", "Run32", "run"};
  for (const char* a : words) {
    for (const char* b : words) {
      EXPECT_EQ(EqualsIgnoringAsciiCase(a, b), LowerAscii(a) == LowerAscii(b)) << a << " " << b;
      EXPECT_EQ(LessIgnoringAsciiCase(a, b),
                std::string_view(LowerAscii(a)) < std::string_view(LowerAscii(b)))
          << a << " " << b;
    }
  }
}

TEST(DocKindsTest, ReplaceAllDoesNotRescanWhatItPutIn) {
  EXPECT_EQ(ReplaceAll("a%20b%20", "%20", " "), "a b ");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "a"), "aa");
  EXPECT_EQ(ReplaceAll("////", "///", "\\"), "\\/");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(DocKindsTest, ResourcePagesAreIgnoredInAnyCase) {
  EXPECT_TRUE(IsIgnoredDoc("res://ieframe.dll/navcancl.htm"));
  EXPECT_TRUE(IsIgnoredDoc("RES://IEFRAME.DLL/dnserror.htm"));
  EXPECT_FALSE(IsIgnoredDoc("http://x/?back=Res://y")) << "only at the start";
  EXPECT_FALSE(IsIgnoredDoc("http://res.example/"));
  EXPECT_FALSE(IsIgnoredDoc("res:/x"));
}

TEST(DocKindsTest, DriveRoots) {
  for (const char* root : {"c:/", "C:\\", "file:\\\\\\c:", "FILE:\\\\\\C:\\", "file:///C:/",
                           "C:", "d:", "J:\\", "file:///j:", "e:/"}) {
    EXPECT_TRUE(IsDriveRoot(root)) << root;
  }
  for (const char* other : {"K:\\", "A:\\", "b:", "Z:/", "C:\\x", "C:\\\\", "CC:\\", "C", ":\\",
                            " C:\\", "file:\\\\\\file:\\\\\\C:", "file://C:", "http://C:/", ""}) {
    EXPECT_FALSE(IsDriveRoot(other)) << other;
  }
}

TEST(DocKindsTest, RootOfAFolderIsItsDriveAndFirstLevelFolder) {
  EXPECT_EQ(GetDocRoot("file:///C:/Windows/System32"), "C:\\Windows");
  EXPECT_EQ(GetDocRoot("file:///D:/Music"), "D:\\Music");
  EXPECT_EQ(GetDocRoot("file:///C:/"), "C:\\");
  EXPECT_EQ(GetDocRoot("file:///C:"), "C:\\");
  EXPECT_EQ(GetDocRoot("file:///C:\\Work\\Proj"), "C:\\Work") << "a stored folder path";
  EXPECT_EQ(GetDocRoot("file:///C:/a//b"), "C:\\a");
  EXPECT_EQ(GetDocRoot("  file:///E:/照片/2024  "), "E:\\照片") << "the address is trimmed";
  EXPECT_EQ(GetDocRoot("file:///server/share"), "\\ver") << "no drive: positions still count";
}

TEST(DocKindsTest, RootOfAWebAddressIsItsHostWithPort) {
  EXPECT_EQ(GetDocRoot("http://HOST/a/b.html"), "HOST");
  EXPECT_EQ(GetDocRoot("http://HOST:8080"), "HOST:8080");
  EXPECT_EQ(GetDocRoot("https://Www.Example.com/x?y=z"), "Www.Example.com");
  EXPECT_EQ(GetDocRoot("http://host/"), "host");
  EXPECT_EQ(GetDocRoot("ftp://files.example/pub"), "files.example");
  EXPECT_EQ(GetDocRoot("http:///x"), "");
}

TEST(DocKindsTest, ProgramPathsAndOtherTextsHaveNoRoot) {
  EXPECT_EQ(GetDocRoot("C:\\Program Files\\x\\x.exe"), "");
  EXPECT_EQ(GetDocRoot("about:blank"), "");
  EXPECT_EQ(GetDocRoot(""), "");
}

TEST(DocKindsTest, FolderAddressToLocalPath) {
  EXPECT_EQ(FolderAddressToLocalPath("file:///C:/Windows/System32"), "C:\\Windows\\System32");
  EXPECT_EQ(FolderAddressToLocalPath("file:///C:/a//b///c"), "C:\\a\\b\\c");
  EXPECT_EQ(FolderAddressToLocalPath("file:///C:/a////b"), "C:\\a\\\\b");
  EXPECT_EQ(FolderAddressToLocalPath("file:///C:\\Work"), "C:\\Work");
  EXPECT_EQ(FolderAddressToLocalPath("file:///"), "");
}

TEST(DocKindsTest, RegistrationKeyFollowsTheFilePrefixRule) {
  EXPECT_EQ(RegistrationKey("file:///C:/Work/Proj"), "C:\\Work\\Proj");
  EXPECT_EQ(RegistrationKey("file:///C:/a//b"), "C:\\a\\\\b") << "each slash on its own";
  EXPECT_EQ(RegistrationKey("x file:///C:/y "), "x file:///C:/y") << "only at the start";
  EXPECT_EQ(RegistrationKey("  http://HOST/a b  "), "http://HOST/a b");
  EXPECT_EQ(RegistrationKey("C:/Tools/a.exe"), "C:/Tools/a.exe") << "no prefix, slashes stay";
}

TEST(DocKindsTest, DocAddressIsTheNameOfAFolderAndThePathOtherwise) {
  DocRecord folder;
  folder.doctype = DocKind::kFolder;
  folder.path = "file:///C:/Work";
  folder.name = "C:\\Work";
  EXPECT_EQ(GetDocAddress(folder), "C:\\Work");
  DocRecord page;
  page.doctype = DocKind::kWeb;
  page.path = "http://HOST/";
  page.name = "Home";
  EXPECT_EQ(GetDocAddress(page), "http://HOST/");
  page.doctype = DocKind::kProgram;
  EXPECT_EQ(GetDocAddress(page), "http://HOST/");
}

TEST(DocKindsTest, ScanSpecialPlaceTitlesAreTheFiveFixedChineseTexts) {
  EXPECT_EQ(ScanSpecialPlaceTitles().size(), 5u);
  for (const char* title : {"我的电脑", "网上邻居", "控制面板", "性能和维护", "桌面"}) {
    EXPECT_TRUE(IsScanSpecialPlaceTitle(title)) << title;
  }
  for (const char* title : {"我的文档", "My Computer", " 桌面", ""}) {
    EXPECT_FALSE(IsScanSpecialPlaceTitle(title)) << title;
  }
}

}  // namespace
}  // namespace zd
