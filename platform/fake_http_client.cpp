#include "platform/fake_http_client.h"

#include <algorithm>

namespace zd {

void FakeHttpClient::Serve(const std::string& url, Answer answer) {
  std::lock_guard lock(mutex_);
  answers_[url] = std::move(answer);
}

void FakeHttpClient::Serve(const std::string& url, std::string body) {
  Answer answer;
  answer.body = std::move(body);
  Serve(url, std::move(answer));
}

std::vector<std::string> FakeHttpClient::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::optional<FakeHttpClient::Answer> FakeHttpClient::Find(const std::string& url) {
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(url);
  }
  if (before_answer) before_answer(url);
  std::lock_guard lock(mutex_);
  auto it = answers_.find(url);
  if (it == answers_.end()) return std::nullopt;
  return it->second;
}

HttpResponse FakeHttpClient::Get(const std::string& url, int, size_t max_bytes,
                                 const std::atomic<bool>* cancel) {
  HttpResponse response;
  const std::optional<Answer> answer = Find(url);
  if (cancel && *cancel) {
    response.status = HttpStatus::kCancelled;
  } else if (!answer) {
    response.status = HttpStatus::kConnectFailed;
  } else {
    response.status = answer->status;
    response.code = answer->code;
    if (answer->status == HttpStatus::kOk && answer->body.size() > max_bytes) {
      response.status = HttpStatus::kTooLarge;
    } else if (answer->status == HttpStatus::kOk) {
      response.body = answer->body;
    }
  }
  return response;
}

HttpStatus FakeHttpClient::Download(const std::string& url, int, uint64_t max_bytes,
                                    const DownloadWriter& write, const DownloadProgress& progress,
                                    const std::atomic<bool>* cancel) {
  const std::optional<Answer> answer = Find(url);
  if (!answer) return HttpStatus::kConnectFailed;
  if (answer->status != HttpStatus::kOk) return answer->status;
  const std::string& body = answer->body;
  const uint64_t total = answer->announce_total ? body.size() : 0;
  if (total > max_bytes) return HttpStatus::kTooLarge;
  for (size_t pos = 0; pos < body.size();) {
    if (cancel && *cancel) return HttpStatus::kCancelled;
    const size_t n = std::min(std::max<size_t>(answer->piece, 1), body.size() - pos);
    if (pos + n > max_bytes) return HttpStatus::kTooLarge;
    if (!write(std::string_view(body).substr(pos, n))) return HttpStatus::kSinkFailed;
    pos += n;
    if (progress) progress(pos, total);
  }
  return HttpStatus::kOk;
}

}  // namespace zd
