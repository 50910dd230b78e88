// Our settings file against GetPrivateProfileStringW / WritePrivateProfileStringW
// on the same files: what one reads the other must read, and the same writes
// must leave the same file.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/temp_dir_for_tests.h"
#include "platform/text_codec.h"
#include "platform/wide_win.h"
#include "store/config.h"
#include "store/settings_file.h"
#include "store/text_file.h"

namespace zd {
namespace {

// A default no file holds, to tell "missing" from "empty".
constexpr wchar_t kNone[] = L"\x1<none>";

std::optional<std::string> ApiGet(const std::string& path, std::string_view section,
                                  std::string_view key) {
  std::wstring buffer(1 << 16, L'\0');
  const DWORD n = GetPrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                           kNone, buffer.data(), static_cast<DWORD>(buffer.size()),
                                           Utf8ToWide(path).c_str());
  buffer.resize(n);
  if (buffer == kNone) return std::nullopt;
  return WideToUtf8(buffer);
}

std::vector<std::string> ApiKeys(const std::string& path, std::string_view section) {
  std::wstring buffer(1 << 16, L'\0');
  const DWORD n =
      GetPrivateProfileStringW(Utf8ToWide(section).c_str(), nullptr, kNone, buffer.data(),
                               static_cast<DWORD>(buffer.size()), Utf8ToWide(path).c_str());
  std::vector<std::string> keys;
  for (size_t pos = 0; pos < n;) {
    const size_t end = buffer.find(L'\0', pos);
    if (end == std::wstring::npos || end >= n) break;
    keys.push_back(WideToUtf8(std::wstring_view(buffer).substr(pos, end - pos)));
    pos = end + 1;
  }
  return keys;
}

bool ApiSet(const std::string& path, std::string_view section, std::string_view key,
            std::string_view value) {
  return WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                    Utf8ToWide(value).c_str(), Utf8ToWide(path).c_str()) != FALSE;
}

bool ApiEraseSection(const std::string& path, std::string_view section) {
  return WritePrivateProfileStringW(Utf8ToWide(section).c_str(), nullptr, nullptr,
                                    Utf8ToWide(path).c_str()) != FALSE;
}

struct Query {
  const char* section;
  const char* key;
};

// Names and values with blanks around them, case changes, quotes, repeated
// keys and sections, lines without "=", comments, empty values, odd headers.
constexpr char kTrickyFile[] =
    "top=1\r\n"
    "[Sec]\r\n"
    "  Key  =  value with spaces  \r\n"
    "key=second\r\n"
    "Q1=\"quoted\"\r\n"
    "Q2='single'\r\n"
    "Q3=\"mismatch'\r\n"
    "Q4=\"\r\n"
    "Q5=\"\"\r\n"
    "Q6= \" inner \" \r\n"
    "noequals\r\n"
    "noequals=hidden by the line above\r\n"
    "; comment=5\r\n"
    "#hash=6\r\n"
    "empty=\r\n"
    "tabs=\t\v\fx\t\x1A\r\n"
    "\r\n"
    "[ Spaced ]\r\n"
    "a=1\r\n"
    "[sec]\r\n"
    "dup=in the repeated section\r\n"
    "key=third\r\n"
    "  [Indented]\r\n"
    "b=2\r\n"
    "[Trail] junk\r\n"
    "c=3\r\n"
    "[NoClose\r\n"
    "d=4\r\n"
    "=novalue\r\n"
    "   =dropped\r\n"
    "[a]b]\r\n"
    "e=5\r\n"
    "[]\r\n"
    "f=6\r\n"
    "[Lone]\rcr=1\rcr2=2\n";

constexpr Query kTrickyQueries[] = {
    {"Sec", "key"},       {"SEC", "KEY"},      {" Sec ", "  key "},   {"Sec", "Q1"},
    {"Sec", "Q2"},        {"Sec", "Q3"},       {"Sec", "Q4"},         {"Sec", "Q5"},
    {"Sec", "Q6"},        {"Sec", "noequals"}, {"Sec", "; comment"},  {"Sec", "#hash"},
    {"Sec", "empty"},     {"Sec", "tabs"},     {"Sec", "dup"},        {"Sec", "missing"},
    {"Spaced", "a"},      {" Spaced ", "a"},   {"Indented", "b"},     {"Trail", "c"},
    {"Trail] junk", "c"}, {"NoClose", "d"},    {"Trail", "[NoClose"}, {"Trail", "d"},
    {"Trail", ""},        {"a]b", "e"},        {"", "top"},           {"", "f"},
    {"Missing", "x"},     {"Lone", "cr"},      {"Lone", "cr2"},       {"sec", "key"},
};

class ProfileApiTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(codec); }

  std::string Put(const std::string& name, std::string_view bytes) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(files->WriteAtomic(path, bytes));
    return path;
  }
  std::string Bytes(const std::string& path) { return files->ReadAll(path).value_or("<none>"); }

  // Both readers over the same file, for every query.
  void ExpectSameReads(const std::string& path, const std::vector<Query>& queries) {
    SettingsFile ours(*files, *codec, path);
    for (const Query& q : queries) {
      const std::optional<std::string> api = ApiGet(path, q.section, q.key);
      EXPECT_EQ(ours.ReadString(q.section, q.key, "\x1<none>"), api.value_or("\x1<none>"))
          << "[" << q.section << "] \"" << q.key << "\"";
    }
  }

  std::unique_ptr<Files> files = MakeSystemFiles();
  std::unique_ptr<AnsiCodec> codec = MakeSystemCodec();
  TempDirForTests dir;
};

TEST_F(ProfileApiTest, ReadsAgreeOnATrickyFile) {
  const std::string path = Put("tricky.ini", kTrickyFile);
  ExpectSameReads(path, {std::begin(kTrickyQueries), std::end(kTrickyQueries)});
  // The API lists names with a value, comments left out, repeats kept.
  IniDocument doc;
  doc.Parse(DecodeText(Bytes(path), *codec));
  EXPECT_EQ(doc.Keys("Sec"), ApiKeys(path, "Sec"));
  EXPECT_EQ(doc.Keys("Trail"), (std::vector<std::string>{"c", "d"})) << "nameless ones left out";
}

TEST_F(ProfileApiTest, ReadsAgreeOnAUtf8FileWithBom) {
  const std::string path = Put("utf8.ini",
                               "\xEF\xBB\xBF[文档]\r\n名字 = 报告 \r\nAño=ñ\r\nÄ=upper\r\n"
                               "v=\xC2\xA0x\xE3\x80\x80\r\n[Über]\r\nk=1\r\n");
  ExpectSameReads(path, {{"文档", "名字"},
                         {"文档", "Año"},
                         {"文档", "AÑO"},
                         {"文档", "ä"},
                         {"文档", "Ä"},
                         {"文档", "v"},
                         {"über", "k"},
                         {"Über", "k"}});
}

TEST_F(ProfileApiTest, ReadsAgreeOnAGbkFile) {
  if (GetACP() != 936) GTEST_SKIP() << "needs code page 936 (LANG=zh_CN.UTF-8)";
  // [文档] / 名字=报告 / path0=file:///C:\工作 in code page 936.
  const std::string path = Put("gbk.ini",
                               "[\xCE\xC4\xB5\xB5]\r\n\xC3\xFB\xD7\xD6=\xB1\xA8\xB8\xE6\r\n"
                               "path0=file:///C:\\\xB9\xA4\xD7\xF7\r\n");
  ExpectSameReads(path, {{"文档", "名字"}, {"文档", "path0"}, {"文档", "missing"}});
  EXPECT_EQ(ApiGet(path, "文档", "path0").value_or(""), "file:///C:\\工作");
}

// The same writes through both must leave the same bytes: the API rewrites
// the whole file in its own layout, and so do we.
TEST_F(ProfileApiTest, SameWritesLeaveTheSameFile) {
  const bool gbk = GetACP() == 936;
  constexpr char kStart[] =
      "top=1\r\n[Sec]\r\n  Key  =  value  \r\nkey=second\r\nQ=\"quoted\"\r\nnoeq\r\n"
      "; comment=5\r\nempty=\r\n\r\n[sec]\r\ndup=fromsecond\r\n[Other]\r\na=1\r\n";
  const std::string api_path = Put("api.ini", kStart);
  const std::string our_path = Put("ours.ini", kStart);
  SettingsFile ours(*files, *codec, our_path);
  struct Op {
    const char* section;
    const char* key;  // nullptr: erase the section
    std::string value;
  };
  const std::vector<Op> ops = {
      {"SEC", "KEY", "new"},
      {"Sec", "newkey", "v"},
      {"sec", "dup", "w"},
      {"Brand New", "k", "v"},
      {"Other", "a", "1"},
      {"Sec", "noeq", "now"},
      {"", "top2", "t"},
      {"Sec", "empty", ""},
      {"Sec", "Q", "quoted"},
      {"Other", "name0", gbk ? "中文名字" : "plain name"},
      {"SEC", nullptr, ""},
      {"sec", "dup", "again"},
      {"sec", "key", "in the section that is first now"},
      {"docs", "path0", "file:///C:\\Work"},
  };
  for (const Op& op : ops) {
    if (op.key) {
      ASSERT_TRUE(ApiSet(api_path, op.section, op.key, op.value));
      ASSERT_TRUE(ours.WriteString(op.section, op.key, op.value));
    } else {
      ASSERT_TRUE(ApiEraseSection(api_path, op.section));
      ASSERT_TRUE(ours.EraseSection(op.section));
    }
    EXPECT_EQ(Bytes(our_path), Bytes(api_path))
        << "after [" << op.section << "] " << (op.key ? op.key : "(erase)");
  }
}

// Names given with blanks around them: for a new section or key the API may
// keep the trailing blanks in the file (and trims them when it reads the file
// again); we write them trimmed. Both read the same.
TEST_F(ProfileApiTest, PaddedNamesOfANewSectionReadTheSame) {
  const std::string api_path = Put("api.ini", "[A]\r\nx=1\r\n");
  const std::string our_path = Put("ours.ini", "[A]\r\nx=1\r\n");
  ASSERT_TRUE(ApiSet(api_path, " New Sec ", " k ", "v"));
  ASSERT_TRUE(ApiSet(api_path, " A ", "  padded  ", "p"));
  SettingsFile ours(*files, *codec, our_path);
  ASSERT_TRUE(ours.WriteString(" New Sec ", " k ", "v"));
  ASSERT_TRUE(ours.WriteString(" A ", "  padded  ", "p"));
  EXPECT_EQ(Bytes(our_path), "[A]\r\nx=1\r\npadded=p\r\n[New Sec]\r\nk=v\r\n");
  const std::vector<Query> queries = {
      {"New Sec", "k"}, {" new sec ", " K "}, {"A", "x"}, {"A", "padded"}, {"a", " PADDED "}};
  ExpectSameReads(api_path, queries);
  ExpectSameReads(our_path, queries);
  EXPECT_EQ(ApiGet(our_path, "New Sec", "k").value_or(""), "v");
}

TEST_F(ProfileApiTest, UnchangedWritesLeaveTheFileAsItWas) {
  constexpr char kStart[] = "[S]\r\n\r\n  k = v \r\n\r\n";
  const std::string api_path = Put("api.ini", kStart);
  const std::string our_path = Put("ours.ini", kStart);
  ASSERT_TRUE(ApiSet(api_path, "S", "k", "v"));
  SettingsFile ours(*files, *codec, our_path);
  ASSERT_TRUE(ours.WriteString("S", "k", "v"));
  EXPECT_EQ(Bytes(api_path), kStart);
  EXPECT_EQ(Bytes(our_path), kStart);
}

// Where we keep more than the API (blanks at the ends of a value, quotes that
// are part of it, text outside the code page), the API still reads our file
// exactly as we do.
TEST_F(ProfileApiTest, ApiReadsOurFileAsWeDo) {
  const std::string path = dir.File("defualt.ini");
  SettingsFile ours(*files, *codec, path);
  const std::vector<std::pair<std::string, std::string>> values = {
      {"lead", "  two blanks before"},
      {"quoted", "\"title in quotes\""},
      {"single", "'x'"},
      {"lone", "\""},
      {"latin", "Año 😀"},
      {"chinese", "中文"},
      {"empty", ""},
      {"eq", "a=b=c"},
  };
  ASSERT_TRUE(ours.WriteKeys("docs", values));
  for (const auto& [key, value] : values) {
    EXPECT_EQ(ApiGet(path, "docs", key).value_or("<none>"), value) << key;
  }
  EXPECT_EQ(Bytes(path).substr(0, 3), kUtf8Bom) << "text outside the code page";
}

TEST_F(ProfileApiTest, ApiReadsWhatWriteDocEntryWrote) {
  DocStore store;
  store.files = files.get();
  store.codec = codec.get();
  store.ConfigDir = dir.path();
  OpenSettingsFile(store);
  DocRecord folder;
  folder.path = "C:\\Work";
  folder.RootPath = "C:\\Work";
  folder.doctype = DocKind::kFolder;
  folder.date = "2024-05-06";
  store.docs.push_back(folder);
  ASSERT_TRUE(WriteDocEntry(*store.settings, store.docs, 0, "工作"));
  const std::string path = dir.File("defualt.ini");
  EXPECT_EQ(ApiGet(path, "docs", "path0").value_or(""), "file:///C:\\Work");
  EXPECT_EQ(ApiGet(path, "docs", "name0").value_or(""), "工作");
  EXPECT_EQ(ApiGet(path, "DOCS", "DocType0").value_or(""), "3");
  EXPECT_EQ(ApiKeys(path, "docs"), (std::vector<std::string>{"name0", "date0", "RootPath0",
                                                             "doctype0", "path0", "selected0"}));
}

TEST_F(ProfileApiTest, WeReadWhatTheApiWrote) {
  const std::string path = dir.File("api_written.ini");
  const bool gbk = GetACP() == 936;
  const std::string name = gbk ? "报告 (最终版)" : "report (final)";
  ASSERT_TRUE(ApiSet(path, "default", "CheckDocInterval", "300"));
  ASSERT_TRUE(ApiSet(path, "docs", "name0", name));
  ASSERT_TRUE(ApiSet(path, "docs", "doctype0", "2"));
  ASSERT_TRUE(ApiSet(path, "default", "CbRefresh", "1"));
  SettingsFile ours(*files, *codec, path);
  EXPECT_EQ(ours.ReadInteger("default", "CheckDocInterval", 120), 300);
  EXPECT_TRUE(ours.ReadBool("default", "CbRefresh", false));
  EXPECT_EQ(ours.ReadString("docs", "name0", ""), name);
  EXPECT_EQ(ours.ReadInteger("docs", "doctype0", 0), 2);
}

}  // namespace
}  // namespace zd
