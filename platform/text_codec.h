// Code pages converted to and from UTF-8. The store keeps UTF-8 inside; files
// without a BOM are in the legacy code page, readable by 8-bit tools.
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
  // Bytes that are not valid in the code page become byte escapes (see
  // platform/utf8.h), never U+FFFD: nothing read is lost.
  virtual std::string ToUtf8(std::string_view ansi) const = 0;
  // nullopt when some character has no exact form in the code page (a
  // best-fit or '?' substitution would lose it). Byte escapes become their byte.
  virtual std::optional<std::string> FromUtf8(std::string_view utf8) const = 0;
};

// The code page of files written without a BOM: the system's ANSI code page,
// unless that is UTF-8 (Windows' "Use Unicode UTF-8" option), where the
// files this program has always written are still in code page 936.
int LegacyCodePage(int system_code_page);
// The codec of LegacyCodePage; 936 when that code page is not supported.
std::unique_ptr<AnsiCodec> MakeLegacyCodec(int system_code_page);

// The legacy codec of this system: from GetACP() on Windows; natively from
// 936, the product's home code page, so native tests exercise the
// double-byte path.
std::unique_ptr<AnsiCodec> MakeSystemCodec();
// A given code page (936, 1252, 65001, ...); nullptr when not supported.
std::unique_ptr<AnsiCodec> MakeCodec(int code_page);

}  // namespace zd
