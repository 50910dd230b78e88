#include "online/server_search.h"

#include <gtest/gtest.h>

#include "online/online_names.h"
#include "platform/errors.h"
#include "platform/fake_http_client.h"

namespace zd {
namespace {

constexpr char kSig[] = "<!--genuine-->";

std::string Page(const char* version) {
  return std::string("<html>") + kSig + "<!--svs___" + version + "___svs--></html>";
}

SearchRequest Request(std::vector<std::string> servers) {
  SearchRequest r;
  r.servers = std::move(servers);
  r.app_key = "VAROV";
  r.running_version = 3.5f;
  r.server_signature = kSig;
  return r;
}

TEST(ServerSearch, TheFirstGenuineServerInListOrderWins) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, FakeHttpClient::Answer>> served;
    std::vector<std::string> servers;
    bool found;
    std::string active;
    size_t attempts;
  };
  FakeHttpClient::Answer genuine{HttpStatus::kOk, 200, Page("3.6")};
  FakeHttpClient::Answer other{HttpStatus::kOk, 200, "<html>a parked domain</html>"};
  FakeHttpClient::Answer missing{HttpStatus::kHttpError, 404, ""};
  FakeHttpClient::Answer slow{HttpStatus::kTimeout, 0, ""};
  const std::string v = "vazozod/VAROV3.5.htm";
  const Case cases[] = {
      {"first dead, second answers",
       {{"http://b/" + v, genuine}},
       {"http://a/", "http://b/", "http://c/"},
       true,
       "http://b/",
       2},
      {"a page without the signature does not count",
       {{"http://a/" + v, other}, {"http://b/" + v, genuine}},
       {"http://a/", "http://b/"},
       true,
       "http://b/",
       2},
      {"404 and timeout are skipped",
       {{"http://a/" + v, missing}, {"http://b/" + v, slow}, {"http://c/" + v, genuine}},
       {"a", "b", "c"},
       true,
       "http://c/",
       3},
      {"nobody answers", {{"http://a/" + v, other}}, {"http://a/", "http://b/"}, false, "", 2},
      {"empty list", {}, {}, false, "", 0},
  };
  for (const Case& c : cases) {
    FakeHttpClient http;
    for (const auto& [url, answer] : c.served) http.Serve(url, answer);
    const SearchOutcome out = SearchServers(Request(c.servers), http, nullptr);
    EXPECT_EQ(out.found, c.found) << c.name;
    EXPECT_EQ(out.active_server, c.active) << c.name;
    EXPECT_EQ(out.attempts.size(), c.attempts) << c.name;
    EXPECT_EQ(http.requests().size(), c.attempts) << c.name;
    for (size_t i = 0; i < out.attempts.size(); ++i) {
      EXPECT_EQ(out.attempts[i].address, NormalizeServerBase(c.servers[i]) + v) << c.name;
    }
    if (c.found) {
      EXPECT_FLOAT_EQ(out.page.latest, 3.6f) << c.name;
    }
  }
}

TEST(ServerSearch, CancelStopsBeforeTheNextServer) {
  FakeHttpClient http;
  std::atomic<bool> cancel{false};
  http.before_answer = [&](const std::string&) { cancel = true; };
  const SearchOutcome out = SearchServers(Request({"a", "b", "c"}), http, &cancel);
  EXPECT_TRUE(out.cancelled);
  EXPECT_FALSE(out.found);
  EXPECT_EQ(http.requests().size(), 1u);
}

TEST(ServerSearch, GateAllowsOneAtATimeAndNoneAfterAFailedRound) {
  SearchOutcome found;
  found.found = true;
  SearchOutcome failed;
  SearchOutcome cancelled;
  cancelled.cancelled = true;
  struct Step {
    const char* what;
    const SearchOutcome* finish;  // nullptr: try to start
    bool expect_start;
  };
  const Step steps[] = {
      {"first start", nullptr, true},          {"second while running", nullptr, false},
      {"finish found", &found, false},         {"start again after success", nullptr, true},
      {"finish cancelled", &cancelled, false}, {"start after cancel", nullptr, true},
      {"finish failed", &failed, false},       {"start after failure", nullptr, false},
  };
  SearchGate gate;
  for (const Step& s : steps) {
    if (s.finish) {
      gate.Finish(*s.finish);
      EXPECT_FALSE(gate.running()) << s.what;
    } else {
      EXPECT_EQ(gate.TryStart(), s.expect_start) << s.what;
    }
  }
  EXPECT_FALSE(gate.allowed());
}

}  // namespace
}  // namespace zd
