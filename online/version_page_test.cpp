#include "online/version_page.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zd {
namespace {

TEST(VersionPage, TextBetweenTheFirstMarkers) {
  struct Case {
    const char* page;
    std::optional<std::string> want;
  };
  const Case cases[] = {
      {"<!--svs___3.6___svs-->", "3.6"},
      {"x<!--svs___ 4.0 ___svs-->y<!--svs___9.9___svs-->", " 4.0 "},
      {"<!--svs______svs-->", ""},
      {"___svs--><!--svs___2.0___svs-->", "2.0"},
      {"<!--svs___3.6", std::nullopt},
      {"3.6___svs-->", std::nullopt},
      {"", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(TextBetween(c.page, kVersionOpen, kVersionClose), c.want);
}

TEST(VersionPage, NumbersAgreeWithStrtodAndRejectTheRest) {
  for (const char* text : {"3.6", "10", " 3.5 ", "0.001", "12.25", "007.5"}) {
    const std::optional<float> v = ParseVersionNumber(text);
    ASSERT_TRUE(v) << text;
    EXPECT_FLOAT_EQ(*v, static_cast<float>(std::strtod(text, nullptr))) << text;
  }
  for (const char* text :
       {"", " ", "3.6a", "v3.6", "3..6", "3.6.1", ".5", "5.", "-1", "+2", "1e3", "３.６", "3,6"}) {
    EXPECT_EQ(ParseVersionNumber(text), std::nullopt) << text;
  }
}

TEST(VersionPage, LatestVersionIsOneWithoutANumber) {
  const std::pair<const char*, float> cases[] = {
      {"SIG <!--svs___3.6___svs-->", 3.6f},
      {"SIG no markers", 1.0f},
      {"SIG <!--svs___new___svs-->", 1.0f},
      {"SIG <!--svs______svs-->", 1.0f},
  };
  for (const auto& [page, latest] : cases) {
    const VersionPage p = ReadVersionPage(page, "SIG");
    EXPECT_TRUE(p.genuine) << page;
    EXPECT_FLOAT_EQ(p.latest, latest) << page;
  }
  EXPECT_FALSE(ReadVersionPage("<!--svs___3.6___svs-->", "SIG").genuine);
  EXPECT_FALSE(ReadVersionPage("SIG", "").genuine) << "an empty signature matches nothing";
}

TEST(VersionPage, HashAndSignatureMarkers) {
  const std::string hash(64, 'a'), sig(128, 'B');
  const std::string page = "<!--svh___" + hash + "___svh--><!--svg___ " + sig + " ___svg-->";
  const VersionPage p = ReadVersionPage(page, "x");
  ASSERT_TRUE(p.sha256);
  EXPECT_EQ((*p.sha256)[0], 0xAA);
  ASSERT_TRUE(p.signature);
  EXPECT_EQ((*p.signature)[63], 0xBB);
  for (const std::string& bad : {hash.substr(1), hash + "a", std::string(63, 'a') + "g"}) {
    EXPECT_FALSE(ReadVersionPage("<!--svh___" + bad + "___svh-->", "x").sha256) << bad;
  }
  EXPECT_FALSE(ReadVersionPage("<!--svg___" + hash + "___svg-->", "x").signature);
}

TEST(VersionPage, SetupSizeMarker) {
  const std::pair<const char*, std::optional<uint64_t>> cases[] = {
      {"<!--svz___ 2500000 ___svz-->", 2500000},
      {"<!--svz___0___svz-->", std::nullopt},
      {"<!--svz___-5___svz-->", std::nullopt},
      {"<!--svz___12MB___svz-->", std::nullopt},
      {"<!--svz___1234567890123456___svz-->", std::nullopt},
      {"no marker", std::nullopt},
  };
  for (const auto& [page, size] : cases)
    EXPECT_EQ(ReadVersionPage(page, "x").setup_size, size) << page;
}

TEST(VersionPage, NewerMeansMoreThanAThousandthAbove) {
  struct Case {
    float latest, running;
    bool newer;
  };
  const Case cases[] = {
      {3.5f, 3.5f, false}, {3.6f, 3.5f, true},    {3.4f, 3.5f, false},
      {1.0f, 3.5f, false}, {3.501f, 3.5f, false}, {3.502f, 3.5f, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsNewerVersion(c.latest, c.running), c.newer) << c.latest << " vs " << c.running;
  }
}

}  // namespace
}  // namespace zd
