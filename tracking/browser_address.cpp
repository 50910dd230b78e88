#include "tracking/browser_address.h"

#include "platform/utf8.h"

namespace zd {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::string AddressScheme(std::string_view address) {
  if (address.empty() || !IsAsciiLetter(address[0])) return {};
  for (size_t i = 1; i < address.size(); ++i) {
    const char c = address[i];
    if (c == ':') return LowerAscii(address.substr(0, i));
    if (!IsAsciiLetter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') break;
  }
  return {};
}

BrowserAddress ClassifyBrowserAddress(std::string_view address) {
  const std::string scheme = AddressScheme(address);
  if (scheme == "http" || scheme == "https") return {BrowserAddressKind::kWebPage, {}};
  if (scheme == "file") {
    if (std::optional<std::string> path = LocalPathOfFileAddress(address)) {
      return {BrowserAddressKind::kLocalFile, std::move(*path)};
    }
  }
  return {};
}

std::optional<std::string> LocalPathOfFileAddress(std::string_view address) {
  if (AddressScheme(address) != "file") return std::nullopt;
  std::string_view rest = address.substr(5);
  rest = rest.substr(0, rest.find_first_of("?#"));
  std::string_view host;
  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    host = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
    if (EqualsIgnoringAsciiCase(host, "localhost")) host = {};
  }
  // "/C:/x" and the old "/C|/x": the slash before a drive letter is no part of the path.
  if (host.empty() && rest.size() >= 3 && rest[0] == '/' && IsAsciiLetter(rest[1]) &&
      (rest[2] == ':' || rest[2] == '|')) {
    rest.remove_prefix(1);
  }
  std::string path;
  if (!host.empty()) path = "\\\\" + std::string(host);
  for (size_t i = 0; i < rest.size(); ++i) {
    char c = rest[i];
    if (c == '%' && i + 2 < rest.size() && HexDigitValue(rest[i + 1]) >= 0 &&
        HexDigitValue(rest[i + 2]) >= 0) {
      c = static_cast<char>(HexDigitValue(rest[i + 1]) * 16 + HexDigitValue(rest[i + 2]));
      i += 2;
    } else if (c == '|' && path.size() == 1 && host.empty()) {
      c = ':';
    }
    path += c == '/' ? '\\' : c;
  }
  if (path.empty() || path == "\\" || path.find('\0') != std::string::npos || !IsValidUtf8(path)) {
    return std::nullopt;
  }
  return path;
}

}  // namespace zd
