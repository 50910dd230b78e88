#include "tracking/session_file.h"

#include <gtest/gtest.h>

#include "tracking/browser_files_for_tests.h"

namespace zd {
namespace {

using testing::MozLz4;
using testing::SessionJson;
using testing::TabSpec;

TEST(MozLz4Test, OnlyABlockOfExactlyTheDeclaredSizeDecodes) {
  const std::string json = SessionJson({{{{{"https://a.example/", "A"}}, 1}}});
  const std::string good = MozLz4(json);
  std::string bad_magic = good;
  bad_magic[3] = 'X';
  struct Case {
    const char* what;
    std::string file;
    bool decodes;
  } cases[] = {
      {"as written", good, true},
      {"size larger than the block holds", MozLz4(json, static_cast<int64_t>(json.size()) + 1),
       false},
      {"size smaller than the block holds", MozLz4(json, static_cast<int64_t>(json.size()) - 1),
       false},
      {"size far beyond the limit", MozLz4(json, 0xFFFFFFF0), false},
      {"size within the limit but beyond what the block can hold", MozLz4(json, 60u << 20), false},
      {"a block cut short", good.substr(0, good.size() - 3), false},
      {"header only", good.substr(0, 12), false},
      {"shorter than the header", good.substr(0, 10), false},
      {"another magic", bad_magic, false},
      {"empty", "", false},
  };
  for (const Case& c : cases) {
    const std::optional<SessionText> text = DecodeMozLz4(c.file);
    EXPECT_EQ(text.has_value(), c.decodes) << c.what;
    if (text) {
      EXPECT_EQ(text->view(), json) << c.what;
    }
  }
}

TEST(SessionParserTest, EachOpenTabGivesTheEntryAtItsIndex) {
  const std::vector<std::pair<std::string, std::string>> history = {
      {"https://a.example/1", "One"},
      {"https://a.example/2", "Two"},
      {"https://a.example/3", "Three"}};
  struct Case {
    const char* what;
    std::string json;
    std::optional<std::vector<SessionPage>> pages;
  } cases[] = {
      {"index 2 of 3: the page the tab went back to", SessionJson({{{history, 2}}}),
       std::vector<SessionPage>{{"https://a.example/2", "Two"}}},
      {"no index: the last entry", SessionJson({{{history, -1}}}),
       std::vector<SessionPage>{{"https://a.example/3", "Three"}}},
      {"index beyond the entries: the last", SessionJson({{{history, 9}}}),
       std::vector<SessionPage>{{"https://a.example/3", "Three"}}},
      {"index 0: the first", SessionJson({{{history, 0}}}),
       std::vector<SessionPage>{{"https://a.example/1", "One"}}},
      {"an entry without a title is named by its address",
       SessionJson({{{{{"https://b.example/x", "-"}}, 1}}}),
       std::vector<SessionPage>{{"https://b.example/x", "https://b.example/x"}}},
      {"two windows, tabs in order; closed windows left out",
       SessionJson({{{{{"https://a.example/", "A"}}, 1}, {{{"https://b.example/", "B"}}, 1}},
                    {{{{"https://c.example/", "C"}}, 1}}},
                   {{{{{"https://closed.example/", "Closed"}}, 1}}}),
       std::vector<SessionPage>{
           {"https://a.example/", "A"}, {"https://b.example/", "B"}, {"https://c.example/", "C"}}},
      {"a window marked private",
       R"({"windows":[{"isPrivate":true,"tabs":[{"entries":[{"url":"https://p.example/","title":"P"}],"index":1}]},)"
       R"({"tabs":[{"entries":[{"url":"https://n.example/","title":"N"}],"index":1}]}]})",
       std::vector<SessionPage>{{"https://n.example/", "N"}}},
      {"escaped text",
       R"({"windows":[{"tabs":[{"entries":[{"url":"https://e.example/?a=\"1\"","title":"\u4e2d \"q\""}]}]}]})",
       std::vector<SessionPage>{{"https://e.example/?a=\"1\"", "中 \"q\""}}},
      // JSON without the expected fields, or with other types: no pages, no failure.
      {"no windows", R"({"version":1})", std::vector<SessionPage>{}},
      {"windows not a list", R"({"windows":{"tabs":[]}})", std::vector<SessionPage>{}},
      {"a tab without entries", R"({"windows":[{"tabs":[{"index":1}]}]})",
       std::vector<SessionPage>{}},
      {"entries of other types",
       R"({"windows":[{"tabs":[{"entries":[1,"x",{"url":7}],"index":1}]}]})",
       std::vector<SessionPage>{}},
      {"an index that is text",
       R"({"windows":[{"tabs":[{"entries":[{"url":"https://a/"}],"index":"1"}]}]})",
       std::vector<SessionPage>{{"https://a/", "https://a/"}}},
      {"a list at the root", "[1,2]", std::vector<SessionPage>{}},
      // Not JSON: the read fails, so the last good one stands. (A file cut
      // short fails earlier, at its block's size.)
      {"cut inside a string", R"({"windows":[{"tabs":[{"entries":[{"url":"https://a/)",
       std::nullopt},
      {"empty", "", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadSessionPages(PadJson(c.json)), c.pages) << c.what;
  }
}

}  // namespace
}  // namespace zd
