#include "platform/dest_list.h"

#include <gtest/gtest.h>

#include "platform/dest_list_for_tests.h"

namespace zd {
namespace {

using testing::DestListBytes;
using testing::FileTimeOf;
using testing::RawEntry;

// Each layout read back as written: streams, times, pins and paths (Chinese,
// beyond the basic plane, and an unpaired surrogate, which the lists allow).
TEST(DestListTest, EveryVersionReadsBackWhatWasWritten) {
  const std::vector<RawEntry> raw = {
      {1, FileTimeOf(1700000000), false, u"C:\\Users\\me\\Documents\\报告.docx"},
      {0x1a, FileTimeOf(1600000000), true, u"\\\\server\\share\\plan.xlsx"},
      {3, 0, false, u"D:\\\xD83D\xDE00 emoji.txt"},
      {4, FileTimeOf(1500000000), false, u"D:\\bad\xD800name.txt"},
  };
  const std::vector<DestListEntry> expected = {
      {1, 1700000000, false, "C:\\Users\\me\\Documents\\报告.docx"},
      {26, 1600000000, true, "\\\\server\\share\\plan.xlsx"},
      {3, 0, false, "D:\\\xF0\x9F\x98\x80 emoji.txt"},
      {4, 1500000000, false, "D:\\bad\xEF\xBF\xBDname.txt"},
  };
  for (const uint32_t version : {1u, 2u, 3u, 4u}) {
    SCOPED_TRACE(version);
    EXPECT_EQ(ParseDestList(DestListBytes(version, raw)), expected);
  }
  EXPECT_EQ(DestListStreamName(26), "1a");
  EXPECT_EQ(ParseDestList(""), std::vector<DestListEntry>{}) << "an empty list";
}

// Cut anywhere, damaged or of another kind: never read past the end, the
// entries before the damage kept, other kinds refused.
TEST(DestListTest, ACutOrDamagedStreamKeepsWhatIsWhole) {
  const std::vector<RawEntry> raw = {{1, FileTimeOf(1700000000), false, u"C:\\a.txt"},
                                     {2, FileTimeOf(1700000001), true, u"C:\\bb.txt"}};
  for (const uint32_t version : {1u, 3u}) {
    const std::string whole = DestListBytes(version, raw);
    const std::vector<DestListEntry> all = *ParseDestList(whole);
    const size_t first_end =
        kDestListHeaderSize + (version == 1 ? kDestListFixedV1 : kDestListFixedV2 + 4) + 2 * 8;
    for (size_t size = 1; size < whole.size(); ++size) {
      SCOPED_TRACE(std::to_string(version) + " cut at " + std::to_string(size));
      const auto cut = ParseDestList(std::string_view(whole).substr(0, size));
      if (size < kDestListHeaderSize) {
        EXPECT_EQ(cut, std::nullopt);
        continue;
      }
      ASSERT_TRUE(cut.has_value());
      EXPECT_EQ(cut->size(), size >= first_end ? 1u : 0u);
      if (!cut->empty()) EXPECT_EQ(cut->front(), all.front());
    }
    // A count beyond what is there, and one beyond any real list.
    std::string more = whole;
    testing::PutU32(more, 4, 3);
    EXPECT_EQ(ParseDestList(more), all);
    testing::PutU32(more, 4, 0xFFFFFFFFu);
    EXPECT_EQ(ParseDestList(more), all);
  }
  std::string other = DestListBytes(1, raw);
  for (const uint32_t version : {0u, 5u, 0x46464952u}) {
    testing::PutU32(other, 0, version);
    EXPECT_EQ(ParseDestList(other), std::nullopt) << version;
  }
}

}  // namespace
}  // namespace zd
