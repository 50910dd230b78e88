// One GET request and one download, behind an interface so that the server
// search and the update run against a fake in tests.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zd {

enum class HttpStatus {
  kOk,
  kBadAddress,     // not an http:// or https:// address
  kConnectFailed,  // name not resolved, connection refused, TLS failure
  kTimeout,        // no answer within the timeout
  kHttpError,      // an answer other than 200
  kTooLarge,       // more than the caller's limit
  kSinkFailed,     // the caller's writer refused a piece
  kCancelled,
  kFailed,  // anything else
};

struct HttpResponse {
  HttpStatus status = HttpStatus::kFailed;
  int code = 0;  // the HTTP status code when one was read
  std::string body;
};

// Called with the bytes received so far and the announced total (0 when the
// server announced none).
using DownloadProgress = std::function<void(uint64_t received, uint64_t total)>;
// Takes one piece of the body; false stops the download.
using DownloadWriter = std::function<bool(std::string_view piece)>;

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // `timeout_ms` bounds the connect and each wait for data. `cancel`, when
  // given, is checked between pieces.
  virtual HttpResponse Get(const std::string& url, int timeout_ms, size_t max_bytes,
                           const std::atomic<bool>* cancel) = 0;
  // Stops with kTooLarge as soon as more than `max_bytes` would arrive (or
  // the server announces more); nothing beyond it reaches `write`.
  virtual HttpStatus Download(const std::string& url, int timeout_ms, uint64_t max_bytes,
                              const DownloadWriter& write, const DownloadProgress& progress,
                              const std::atomic<bool>* cancel) = 0;
};

// WinHTTP on Windows.
std::unique_ptr<HttpClient> MakeSystemHttpClient();

const char* HttpStatusName(HttpStatus status);

}  // namespace zd
