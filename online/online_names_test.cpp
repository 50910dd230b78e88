#include "online/online_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace zd {
namespace {

TEST(OnlineNames, DerivedFromTheProductKey) {
  struct Case {
    const char* key;
    const char* code;
    const char* demo;
    const char* update;
    const char* setup;
    const char* setup_path;
  };
  const Case cases[] = {
      {kProductKey, "zd", "vazozod/demo/zd/", "vazozod/update/zd/", "setupZD.exe",
       "vazozod/update/zd/setupZD.exe"},
      // The same rule on the application key would name another product.
      {"VAROV", "ov", "vazozod/demo/ov/", "vazozod/update/ov/", "setupOV.exe",
       "vazozod/update/ov/setupOV.exe"},
      {"ABCxYz", "xyz", "vazozod/demo/xyz/", "vazozod/update/xyz/", "setupXYZ.exe",
       "vazozod/update/xyz/setupXYZ.exe"},
      {"ABC", "", "vazozod/demo//", "vazozod/update//", "setup.exe", "vazozod/update//setup.exe"},
  };
  for (const Case& c : cases) {
    const OnlineNames n = MakeOnlineNames(c.key);
    EXPECT_EQ(n.ProductCode, c.code) << c.key;
    EXPECT_EQ(n.DemoPath, c.demo) << c.key;
    EXPECT_EQ(n.UpdatePath, c.update) << c.key;
    EXPECT_EQ(n.SetupFileName, c.setup) << c.key;
    EXPECT_EQ(n.SetupPath, c.setup_path) << c.key;
  }
}

TEST(OnlineNames, VersionPageAddress) {
  EXPECT_EQ(VersionPageAddress("http://h/", "VAROV", 3.5f), "http://h/vazozod/VAROV3.5.htm");
  EXPECT_EQ(VersionPageAddress("https://h:8/x/", "VAROV", 10.04f),
            "https://h:8/x/vazozod/VAROV10.0.htm");
  EXPECT_EQ(FormatVersion(3.6f), "3.6");
  EXPECT_EQ(FormatVersion(1.0f), "1.0");
}

TEST(OnlineNames, ServerBases) {
  const std::pair<const char*, const char*> cases[] = {
      {"127.0.0.1:8080", "http://127.0.0.1:8080/"},
      {"http://a/", "http://a/"},
      {"HTTPS://a", "HTTPS://a/"},
      {"HtTp://a/b", "HtTp://a/b/"},
      {"ftp://a/", "http://ftp://a/"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(NormalizeServerBase(in), out) << in;
}

TEST(OnlineNames, FiveOrderingsOfTheSameTenHttpsServers) {
  const std::vector<std::string> first = ServerOrdering(0);
  ASSERT_EQ(first.size(), static_cast<size_t>(kServerCount));
  const std::set<std::string> servers(first.begin(), first.end());
  EXPECT_EQ(servers.size(), first.size());
  std::set<std::vector<std::string>> orderings;
  for (int i = 0; i < kServerOrderings; ++i) {
    const std::vector<std::string> list = ServerOrdering(i);
    EXPECT_EQ(std::set<std::string>(list.begin(), list.end()), servers) << i;
    orderings.insert(list);
    EXPECT_EQ(PickServerList(static_cast<uint32_t>(i + 5 * 1000)), list) << i;
  }
  EXPECT_EQ(orderings.size(), static_cast<size_t>(kServerOrderings));
  // Each server comes first in one ordering at most.
  std::set<std::string> firsts;
  for (const auto& list : orderings) firsts.insert(list.front());
  EXPECT_EQ(firsts.size(), orderings.size());
  for (const std::string& s : servers) {
    EXPECT_TRUE(s.starts_with("https://")) << s;
    EXPECT_TRUE(s.ends_with("/")) << s;
  }
}

TEST(OnlineNames, ServersOptionForTestRuns) {
  using List = std::vector<std::string>;
  const std::pair<const char*, std::optional<List>> cases[] = {
      {"--servers=http://127.0.0.1:1/,127.0.0.1:8000",
       List{"http://127.0.0.1:1/", "http://127.0.0.1:8000/"}},
      {"--servers=a,,b,", List{"http://a/", "http://b/"}},
      {"--servers=", std::nullopt},
      {"--servers=,", std::nullopt},
      {"--server=a", std::nullopt},
      {"uninstall", std::nullopt},
  };
  for (const auto& [arg, want] : cases) EXPECT_EQ(ParseServersOption(arg), want) << arg;
  EXPECT_EQ(ServersFromArguments({"--servers=a", "x", "--servers=b,c", "--servers="}),
            (List{"http://b/", "http://c/"}))
      << "the last list given wins";
  EXPECT_TRUE(ServersFromArguments({"uninstall"}).empty());
}

TEST(OnlineNames, OnlyWebAddressesMayBeOpened) {
  const std::pair<const char*, bool> cases[] = {
      {"http://example.com/a?b=c", true},
      {"HTTPS://example.com", true},
      {"https://h:8080/#x", true},
      {"file:///C:/Windows/system32/calc.exe", false},
      {"\\\\server\\share\\setup.exe", false},
      {"C:\\Windows\\notepad.exe", false},
      {"javascript:alert(1)", false},
      {"http:///etc", false},
      {"http://", false},
      {"http://a b", false},
      {"http://a\"b", false},
      {"http://a\tb", false},
      {" http://a", false},
      {"mailto:x@y", false},
  };
  for (const auto& [address, ok] : cases) EXPECT_EQ(IsHttpUrl(address), ok) << address;
}

}  // namespace
}  // namespace zd
