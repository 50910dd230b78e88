#include "lang/captions.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zd::lang {
namespace {

TEST(Captions, EveryLanguageFallsBackToTheDesignCaption) {
  for (int part = 0; part < kUiCount; ++part) {
    const Ui id = static_cast<Ui>(part);
    const std::string_view design = CaptionOf(id, 0);
    SCOPED_TRACE(std::string(UiName(id)));
    // Unknown languages read as the default one.
    EXPECT_EQ(CaptionOf(id, 7), design);
    EXPECT_EQ(CaptionOf(id, -1), design);
    // A part has a caption in every language or in none.
    for (int language : {1, 2}) EXPECT_EQ(CaptionOf(id, language).empty(), design.empty());
    EXPECT_EQ(HintOf(id, 9), HintOf(id, 0));
  }
}

TEST(Captions, CopiedPartsAreUniqueAndCaptioned) {
  std::set<Ui> seen;
  for (Ui part : CopiedCaptionParts()) {
    EXPECT_TRUE(seen.insert(part).second) << UiName(part);
    EXPECT_FALSE(CaptionOf(part, 0).empty()) << UiName(part);
  }
  EXPECT_EQ(CopiedCaptionParts().back(), Ui::MnZDExit) << "the tray menu ends the copy";
}

}  // namespace
}  // namespace zd::lang
