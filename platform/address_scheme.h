// What kind of address a text is, read from the scheme at its start: never
// from a "file:///" or "http:" found further on, as in a query string
// ("http://h/?u=file:///C:/") or a folder's name ("D:\http:\a.exe" as a
// shell path, "C:\Saved http://h\"). Scheme letters in any case; blanks
// before the address are passed over, as the lists' trimming does.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zd {

// A folder's address as the shell windows give it and the history keeps it.
inline constexpr std::string_view kFilePrefix = "file:///";

// The text after `prefix` ("file:///", "http://") when the address starts
// with it; nullopt otherwise.
std::optional<std::string_view> AfterScheme(std::string_view address, std::string_view prefix);

// A "file:///" address.
bool IsFileAddress(std::string_view address);
// An "http:" or "https:" address.
bool IsWebAddress(std::string_view address);
// A "res://" address: the browser's own resource pages.
bool IsResourceAddress(std::string_view address);
// The scheme of a "<scheme>://" address as written ("http", "HTTPS", "ftp"),
// or empty when the address does not start with one. A scheme is a letter,
// then letters, digits, "+", "-" or "."; one letter alone is a drive ("C://").
std::string_view UrlScheme(std::string_view address);

}  // namespace zd
