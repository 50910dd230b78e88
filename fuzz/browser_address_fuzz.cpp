// Any bytes as an address a browser shows: the scheme decides its kind, and a
// file address decodes to a path that is UTF-8, names something, and holds
// neither a NUL nor a forward slash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/utf8.h"
#include "tracking/browser_address.h"

using namespace zd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view address(reinterpret_cast<const char*>(data), size);
  const std::string scheme = AddressScheme(address);
  const BrowserAddress what = ClassifyBrowserAddress(address);
  const std::optional<std::string> path = LocalPathOfFileAddress(address);
  if (path) {
    if (scheme != "file" || path->empty() || !IsValidUtf8(*path) ||
        path->find('\0') != std::string::npos || path->find('/') != std::string::npos) {
      abort();
    }
  }
  const bool web = scheme == "http" || scheme == "https";
  if ((what.kind == BrowserAddressKind::kWebPage) != web) abort();
  if ((what.kind == BrowserAddressKind::kLocalFile) != path.has_value()) abort();
  if (what.kind == BrowserAddressKind::kLocalFile && what.local_path != *path) abort();
  return 0;
}
