// Texts handed to a web page's script engine and to web addresses.
#pragma once

#include <string>
#include <string_view>

namespace zd {

// A double-quoted script string literal whose value is exactly `utf8`
// (malformed bytes as U+FFFD): backslashes, quotes, line breaks, control
// characters and U+2028/U+2029 are escaped, so no text can end the string or
// the statement around it.
std::string ScriptStringLiteral(std::string_view utf8);

// The script text that calls `function` with `argument` as its one string.
std::string ScriptCall(std::string_view function, std::string_view argument);

// Percent-encoding of UTF-8 text for a query parameter: everything but
// letters, digits and "-._~" becomes %XX, so "&", "#", "+" and "=" stay text.
std::string PercentEncode(std::string_view utf8);

}  // namespace zd
