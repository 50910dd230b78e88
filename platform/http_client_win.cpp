// The HTTP client on WinHTTP: synchronous calls, one session per request, so
// that worker threads share nothing. WinHTTP is no KnownDLL: it is loaded at
// the first request from the system folder by its full path, never imported,
// so that no winhttp.dll beside the program is ever loaded.
#include <windows.h>

#include <winhttp.h>
#include <winsock2.h>

#include <charconv>
#include <type_traits>
#include <vector>

#include "platform/dll_search_win.h"
#include "platform/handles_win.h"
#include "platform/http_client.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

// The WinHTTP functions used, looked up once; all null when it cannot be loaded.
struct WinHttp {
  decltype(&::WinHttpCrackUrl) CrackUrl = nullptr;
  decltype(&::WinHttpOpen) Open = nullptr;
  decltype(&::WinHttpSetTimeouts) SetTimeouts = nullptr;
  decltype(&::WinHttpConnect) Connect = nullptr;
  decltype(&::WinHttpOpenRequest) OpenRequest = nullptr;
  decltype(&::WinHttpSetOption) SetOption = nullptr;
  decltype(&::WinHttpSendRequest) SendRequest = nullptr;
  decltype(&::WinHttpReceiveResponse) ReceiveResponse = nullptr;
  decltype(&::WinHttpQueryHeaders) QueryHeaders = nullptr;
  decltype(&::WinHttpReadData) ReadData = nullptr;
  decltype(&::WinHttpCloseHandle) CloseHandle = nullptr;

  static const WinHttp& Get() {
    static const WinHttp api = [] {
      WinHttp w;
      HMODULE module = LoadSystemLibrary(L"winhttp.dll");
      if (!module) return w;
      const auto find = [module](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(
            reinterpret_cast<void*>(GetProcAddress(module, name)));
        return fn != nullptr;
      };
      const bool all =
          find(w.CrackUrl, "WinHttpCrackUrl") && find(w.Open, "WinHttpOpen") &&
          find(w.SetTimeouts, "WinHttpSetTimeouts") && find(w.Connect, "WinHttpConnect") &&
          find(w.OpenRequest, "WinHttpOpenRequest") && find(w.SetOption, "WinHttpSetOption") &&
          find(w.SendRequest, "WinHttpSendRequest") &&
          find(w.ReceiveResponse, "WinHttpReceiveResponse") &&
          find(w.QueryHeaders, "WinHttpQueryHeaders") && find(w.ReadData, "WinHttpReadData") &&
          find(w.CloseHandle, "WinHttpCloseHandle");
      return all ? w : WinHttp();
    }();
    return api;
  }
  bool ok() const { return CloseHandle != nullptr; }
};

inline void CloseInternetFn(HINTERNET h) { WinHttp::Get().CloseHandle(h); }
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
  const WinHttp& http = WinHttp::Get();
  if (!http.ok()) return out;
  std::wstring wide = Utf8ToWide(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof(parts);
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength =
      static_cast<DWORD>(-1);
  if (!http.CrackUrl(wide.c_str(), 0, 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) ||
      parts.dwHostNameLength == 0) {
    out.status = HttpStatus::kBadAddress;
    return out;
  }
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
  path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (path.empty()) path = L"/";

  out.session.reset(http.Open(L"Zapdock", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                              WINHTTP_NO_PROXY_BYPASS, 0));
  if (!out.session) return out;
  const int t = timeout_ms > 0 ? timeout_ms : 30000;
  http.SetTimeouts(out.session.get(), t, t, t, t);
  out.connection.reset(http.Connect(out.session.get(), host.c_str(), parts.nPort, 0));
  if (!out.connection) {
    out.status = StatusOfLastError();
    return out;
  }
  const DWORD flags = parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0;
  out.request.reset(http.OpenRequest(out.connection.get(), L"GET", path.c_str(), nullptr,
                                     WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES, flags));
  if (!out.request) return out;
  // Some implementations (Wine's) wait for the answer with a timeout of its
  // own that the session's timeouts do not set.
  http.SetTimeouts(out.request.get(), t, t, t, t);
  DWORD wait = static_cast<DWORD>(t);
  http.SetOption(out.request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &wait, sizeof(wait));
  if (!http.SendRequest(out.request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0,
                        WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !http.ReceiveResponse(out.request.get(), nullptr)) {
    out.status = StatusOfLastError();
    return out;
  }
  DWORD code = 0, size = sizeof(code);
  if (!http.QueryHeaders(out.request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
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
  if (http.QueryHeaders(out.request.get(), WINHTTP_QUERY_CONTENT_LENGTH,
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
    if (!WinHttp::Get().ReadData(request, buffer.data(), static_cast<DWORD>(buffer.size()), &got)) {
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
