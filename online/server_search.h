// The search for a reachable vendor server: each address of the list in turn,
// until one answers with a genuine version page.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "online/version_page.h"
#include "platform/http_client.h"

namespace zd {

// Everything the search needs, copied: it runs on a worker thread.
struct SearchRequest {
  std::vector<std::string> servers;
  std::string app_key;
  float running_version = 0;
  std::string server_signature;
  int timeout_ms = 5000;
};

struct SearchOutcome {
  bool found = false;
  bool cancelled = false;
  std::string active_server;  // the base address that answered
  VersionPage page;
  // Per address tried, in order: the page address and how the request ended.
  struct Attempt {
    std::string address;
    HttpStatus status = HttpStatus::kFailed;
    bool genuine = false;
    bool operator==(const Attempt&) const = default;
  };
  std::vector<Attempt> attempts;
};

inline constexpr size_t kVersionPageLimit = 1 << 20;

SearchOutcome SearchServers(const SearchRequest& request, HttpClient& http,
                            const std::atomic<bool>* cancel);

// When a search may start: one at a time, and never again after a round in
// which no server counted. Interface thread only.
class SearchGate {
 public:
  bool allowed() const { return allowed_; }
  bool running() const { return running_; }
  // True when a search may start now; it is then running.
  bool TryStart();
  void Finish(const SearchOutcome& outcome);

 private:
  bool allowed_ = true;
  bool running_ = false;
};

}  // namespace zd
