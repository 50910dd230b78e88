#include "platform/address_scheme.h"

#include "platform/utf8.h"

namespace zd {
namespace {

std::string_view WithoutLeadingBlanks(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
  return text;
}

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

std::optional<std::string_view> AfterScheme(std::string_view address, std::string_view prefix) {
  const std::string_view text = WithoutLeadingBlanks(address);
  if (!StartsWithIgnoringAsciiCase(text, prefix)) return std::nullopt;
  return text.substr(prefix.size());
}

bool IsFileAddress(std::string_view address) {
  return AfterScheme(address, kFilePrefix).has_value();
}

bool IsWebAddress(std::string_view address) {
  return AfterScheme(address, "http:") || AfterScheme(address, "https:");
}

bool IsResourceAddress(std::string_view address) {
  return AfterScheme(address, "res://").has_value();
}

std::string_view UrlScheme(std::string_view address) {
  const std::string_view text = WithoutLeadingBlanks(address);
  size_t end = 0;
  while (end < text.size() &&
         (IsAsciiLetter(text[end]) ||
          (end > 0 && ((text[end] >= '0' && text[end] <= '9') || text[end] == '+' ||
                       text[end] == '-' || text[end] == '.')))) {
    ++end;
  }
  if (end < 2 || text.substr(end, 3) != "://") return {};
  return text.substr(0, end);
}

}  // namespace zd
