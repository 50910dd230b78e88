#include "online/server_search.h"

#include "online/online_names.h"

namespace zd {

SearchOutcome SearchServers(const SearchRequest& request, HttpClient& http,
                            const std::atomic<bool>* cancel) {
  SearchOutcome outcome;
  for (const std::string& server : request.servers) {
    if (cancel && cancel->load()) {
      outcome.cancelled = true;
      return outcome;
    }
    const std::string base = NormalizeServerBase(server);
    const std::string address = VersionPageAddress(base, request.app_key, request.running_version);
    HttpResponse response = http.Get(address, request.timeout_ms, kVersionPageLimit, cancel);
    SearchOutcome::Attempt attempt{address, response.status, false};
    if (response.status == HttpStatus::kCancelled) {
      outcome.attempts.push_back(attempt);
      outcome.cancelled = true;
      return outcome;
    }
    if (response.status == HttpStatus::kOk) {
      VersionPage page = ReadVersionPage(response.body, request.server_signature);
      attempt.genuine = page.genuine;
      if (page.genuine) {
        outcome.attempts.push_back(attempt);
        outcome.found = true;
        outcome.active_server = base;
        outcome.page = std::move(page);
        return outcome;
      }
    }
    outcome.attempts.push_back(attempt);
  }
  return outcome;
}

bool SearchGate::TryStart() {
  if (!allowed_ || running_) return false;
  running_ = true;
  return true;
}

void SearchGate::Finish(const SearchOutcome& outcome) {
  running_ = false;
  // A cancelled round (the window closed) says nothing about the servers.
  if (!outcome.found && !outcome.cancelled) allowed_ = false;
}

}  // namespace zd
