#include "lang/service_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace zd::lang {
namespace {

int CountOf(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

TEST(ServiceTexts, EveryRowFilledWithTheSameArgumentsInEveryLanguage) {
  ASSERT_GT(ServiceRows().size(), 30u);
  for (const ServiceRow& row : ServiceRows()) {
    const std::string& zh = ServiceTextsFor(0).*(row.field);
    EXPECT_FALSE(zh.empty()) << row.name;
    for (int language : {1, 2}) {
      const std::string& text = ServiceTextsFor(language).*(row.field);
      EXPECT_FALSE(text.empty()) << row.name << " " << language;
      // A format text must take the same argument in every language.
      EXPECT_EQ(CountOf(text, "%s"), CountOf(zh, "%s")) << row.name << " " << language;
      EXPECT_EQ(CountOf(text, "%"), CountOf(zh, "%")) << row.name << " " << language;
    }
  }
  // Unknown languages read the default table.
  EXPECT_EQ(&ServiceTextsFor(7), &ServiceTextsFor(0));
}

TEST(ServiceTexts, TraditionalTableHasNoSimplifiedOnlyCharacters) {
  const std::vector<std::string> simplified_only = {"开", "启", "显", "设", "网", "页", "软",
                                                    "载", "请", "统", "关", "闭", "线", "级",
                                                    "权", "访", "删", "运", "说", "实", "热"};
  int found_in_simplified = 0;
  for (const std::string& ch : simplified_only) {
    bool in_simplified = false;
    for (const ServiceRow& row : ServiceRows()) {
      EXPECT_EQ((ServiceTextsFor(1).*(row.field)).find(ch), std::string::npos)
          << ch << " in " << row.name;
      in_simplified |= (ServiceTextsFor(0).*(row.field)).find(ch) != std::string::npos;
    }
    found_in_simplified += in_simplified;
  }
  // The same check finds them in the simplified table, so it can fail.
  EXPECT_GE(found_in_simplified, 15);
}

}  // namespace
}  // namespace zd::lang
