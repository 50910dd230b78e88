// What an address a browser shows is, decided by its scheme at its start:
// only http and https pages are web pages; a file: address is a local file
// (its path decoded); the browsers' own pages, extensions' pages and every
// other scheme are none of the user's documents.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zd {

enum class BrowserAddressKind { kWebPage, kLocalFile, kOther };

struct BrowserAddress {
  BrowserAddressKind kind = BrowserAddressKind::kOther;
  std::string local_path;  // for kLocalFile: the Windows path it names
  bool operator==(const BrowserAddress&) const = default;
};

// The scheme before the first ":", lower-cased; empty when the address does
// not start with one (letters, then letters, digits, "+", "-" or ".").
std::string AddressScheme(std::string_view address);

BrowserAddress ClassifyBrowserAddress(std::string_view address);

// "file:///C:/a%20b/%E6%8A%A5.pdf" -> "C:\a b\报.pdf"; "file://server/share/x"
// -> "\\server\share\x" ("localhost" is no server). Query and fragment are
// dropped. nullopt when it is no file: address, names nothing, escapes a NUL
// or decodes to text that is not UTF-8.
std::optional<std::string> LocalPathOfFileAddress(std::string_view address);

}  // namespace zd
