// Any bytes as a Firefox session file, and as its JSON: a decoded block has
// exactly its declared size, and every page read has an address and a name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tracking/browser_profiles.h"
#include "tracking/session_file.h"

using namespace zd;

namespace {

void CheckPages(const std::optional<std::vector<SessionPage>>& pages) {
  if (!pages) return;
  for (const SessionPage& page : *pages) {
    if (page.url.empty() || page.title.empty()) abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (std::optional<SessionText> text = DecodeMozLz4(bytes)) {
    const uint32_t declared = static_cast<uint32_t>(data[8]) | static_cast<uint32_t>(data[9]) << 8 |
                              static_cast<uint32_t>(data[10]) << 16 |
                              static_cast<uint32_t>(data[11]) << 24;
    if (text->size != declared || text->capacity <= text->size) abort();
    CheckPages(ReadSessionPages(*text));
  }
  CheckPages(ReadSessionPages(PadJson(bytes)));
  // The same text as a Chromium browser's "Local State".
  if (std::optional<std::vector<ChromiumProfile>> profiles = ParseLocalState(bytes)) {
    for (const ChromiumProfile& profile : *profiles) {
      if (profile.dir.empty()) abort();
    }
  }
  return 0;
}
