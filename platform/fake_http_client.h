// An HTTP client that answers from a table, for tests.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/http_client.h"

namespace zd {

class FakeHttpClient : public HttpClient {
 public:
  struct Answer {
    HttpStatus status = HttpStatus::kOk;
    int code = 200;
    std::string body;
    size_t piece = 1024;  // downloads arrive in pieces of this size
    bool announce_total = true;
  };
  // An address without an answer fails to connect.
  void Serve(const std::string& url, Answer answer);
  void Serve(const std::string& url, std::string body);

  HttpResponse Get(const std::string& url, int timeout_ms, size_t max_bytes,
                   const std::atomic<bool>* cancel) override;
  HttpStatus Download(const std::string& url, int timeout_ms, uint64_t max_bytes,
                      const DownloadWriter& write, const DownloadProgress& progress,
                      const std::atomic<bool>* cancel) override;

  // Every address asked for, in order (GETs and downloads).
  std::vector<std::string> requests() const;
  // Called before each answer (for a test that cancels in the middle).
  std::function<void(const std::string& url)> before_answer;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, Answer> answers_;
  std::vector<std::string> requests_;
  std::optional<Answer> Find(const std::string& url);
};

}  // namespace zd
