// UTF-8 <-> UTF-16 at the Win32 boundary.
#pragma once

#include <string>
#include <string_view>

namespace zd {

// Malformed UTF-8 becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);

}  // namespace zd
