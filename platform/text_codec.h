// The system's ANSI code page, converted to and from UTF-8. The store keeps
// UTF-8 inside; files stay readable by 8-bit tools in the system code page.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zd {

class AnsiCodec {
 public:
  virtual ~AnsiCodec() = default;
  virtual int CodePage() const = 0;
  // Bytes that are not valid in the code page become U+FFFD.
  virtual std::string ToUtf8(std::string_view ansi) const = 0;
  // nullopt when some character has no exact form in the code page
  // (a best-fit or '?' substitution would lose it).
  virtual std::optional<std::string> FromUtf8(std::string_view utf8) const = 0;
};

// The code page of this system: GetACP() on Windows, 936 natively (the
// product's home code page, so native tests exercise the double-byte path).
std::unique_ptr<AnsiCodec> MakeSystemCodec();
// A given code page (936, 1252, 65001, ...); nullptr when not supported.
std::unique_ptr<AnsiCodec> MakeCodec(int code_page);

}  // namespace zd
