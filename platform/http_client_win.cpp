// The HTTP client on WinHTTP: synchronous calls, one session per request, so
// that worker threads share nothing.
#include <windows.h>

#include <winhttp.h>
#include <winsock2.h>

#include <charconv>
#include <vector>

#include "platform/handles_win.h"
#include "platform/http_client.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

inline void CloseInternetFn(HINTERNET h) { WinHttpCloseHandle(h); }
using UniqueInternet = UniqueAny<HINTERNET, CloseInternetFn>;

HttpStatus StatusOfLastError() {
  switch (GetLastError()) {
    case ERROR_WINHTTP_TIMEOUT:
    case WSAETIMEDOUT:  // Wine's answer to a server that never answers
    case ERROR_TIMEOUT:
      return HttpStatus::kTimeout;
    case ERROR_WINHTTP_CANNOT_CONNECT:
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
    case ERROR_WINHTTP_CONNECTION_ERROR:
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return HttpStatus::kConnectFailed;
    case ERROR_WINHTTP_OPERATION_CANCELLED:
      return HttpStatus::kCancelled;
    default:
      return HttpStatus::kFailed;
  }
}

// An open request whose answer has arrived, or the reason there is none.
struct OpenRequest {
  UniqueInternet session, connection, request;
  HttpStatus status = HttpStatus::kFailed;
  int code = 0;
  uint64_t total = 0;  // the announced length, 0 when none
};

OpenRequest Send(const std::string& url, int timeout_ms) {
  OpenRequest out;
  std::wstring wide = Utf8ToWide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength =
      static_cast<DWORD>(-1);
  if (!WinHttpCrackUrl(wide.c_str(), 0, 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
      parts.dwHostNameLength == 0) {
    out.status = HttpStatus::kBadAddress;
    return out;
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  out.session.reset(WinHttpOpen(L"Zapdock", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!out.session) return out;
  const int t = timeout_ms > 0 ? timeout_ms : 30000;
  WinHttpSetTimeouts(out.session.get(), t, t, t, t);
  out.connection.reset(WinHttpConnect(out.session.get(), host.c_str(), parts.nPort, 0));
  if (!out.connection) {
    out.status = StatusOfLastError();
    return out;
  }
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  out.request.reset(WinHttpOpenRequest(out.connection.get(), L"GET", path.c_str(), nullptr,
                                       WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!out.request) return out;
  // Some implementations (Wine's) wait for the answer with a timeout of its
  // own that the session's timeouts do not set.
  WinHttpSetTimeouts(out.request.get(), t, t, t, t);
  DWORD wait = static_cast<DWORD>(t);
  WinHttpSetOption(out.request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &wait, sizeof(wait));
  if (!WinHttpSendRequest(out.request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                          WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(out.request.get(), nullptr)) {
    out.status = StatusOfLastError();
    return out;
  }
  DWORD code = 0, size = sizeof(code);
  if (!WinHttpQueryHeaders(out.request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX)) {
    return out;
  }
  out.code = static_cast<int>(code);
  if (code != 200) {
    out.status = HttpStatus::kHttpError;
    return out;
  }
  wchar_t length[32] = {};
  size = sizeof(length);
  if (WinHttpQueryHeaders(out.request.get(), WINHTTP_QUERY_CONTENT_LENGTH,
                          WINHTTP_HEADER_NAME_BY_INDEX, length, &size, WINHTTP_NO_HEADER_INDEX)) {
    const std::string text = WideToUtf8(length);
    uint64_t value = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), value);
    if (res.ec == std::errc() && res.ptr == text.data() + text.size()) out.total = value;
  }
  out.status = HttpStatus::kOk;
  return out;
}

// Reads the body piece by piece into `take` until the end, a failure or a cancel.
HttpStatus ReadBody(HINTERNET request, const std::atomic<bool>* cancel,
                    const std::function<HttpStatus(std::string_view)>& take) {
  std::vector<char> buffer(64 * 1024);
  for (;;) {
    if (cancel && cancel->load()) return HttpStatus::kCancelled;
    DWORD got = 0;
    if (!WinHttpReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
      return StatusOfLastError();
    }
    if (got == 0) return HttpStatus::kOk;
    const HttpStatus status = take(std::string_view(buffer.data(), got));
    if (status != HttpStatus::kOk) return status;
  }
}

class WinHttpClient : public HttpClient {
 public:
  HttpResponse Get(const std::string& url, int timeout_ms, size_t max_bytes,
                   const std::atomic<bool>* cancel) override {
    HttpResponse response;
    OpenRequest open = Send(url, timeout_ms);
    response.code = open.code;
    response.status = open.status;
    if (open.status != HttpStatus::kOk) return response;
    response.status = ReadBody(open.request.get(), cancel, [&](std::string_view piece) {
      if (response.body.size() + piece.size() > max_bytes) return HttpStatus::kTooLarge;
      response.body.append(piece);
      return HttpStatus::kOk;
    });
    if (response.status != HttpStatus::kOk) response.body.clear();
    return response;
  }

  HttpStatus Download(const std::string& url, int timeout_ms, uint64_t max_bytes,
                      const DownloadWriter& write, const DownloadProgress& progress,
                      const std::atomic<bool>* cancel) override {
    OpenRequest open = Send(url, timeout_ms);
    if (open.status != HttpStatus::kOk) return open.status;
    if (open.total > max_bytes) return HttpStatus::kTooLarge;
    uint64_t received = 0;
    if (progress) progress(0, open.total);
    const HttpStatus status = ReadBody(open.request.get(), cancel, [&](std::string_view piece) {
      if (piece.size() > max_bytes - received) return HttpStatus::kTooLarge;
      if (!write(piece)) return HttpStatus::kSinkFailed;
      received += piece.size();
      if (progress) progress(received, open.total);
      return HttpStatus::kOk;
    });
    if (status != HttpStatus::kOk) return status;
    // A connection that ends early is a failed download, not a short file.
    if (open.total != 0 && received != open.total) return HttpStatus::kFailed;
    return HttpStatus::kOk;
  }
};

}  // namespace

std::unique_ptr<HttpClient> MakeSystemHttpClient() { return std::make_unique<WinHttpClient>(); }

}  // namespace zd
