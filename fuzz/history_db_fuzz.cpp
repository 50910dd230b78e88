// Any bytes as a browser's History file: the index and the table scan end
// (every statement under the time limit), never crash, and give only entries
// with a title and an address.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/shared_files.h"
#include "tracking/history_db.h"

using namespace zd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/zd_history_fuzz_" + std::to_string(getpid());
  static const std::unique_ptr<SharedFiles> files = MakeSystemSharedFiles();
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  const std::vector<std::string> titles = {"T", "A", ""};
  HistoryIndex index(path, HistoryLimits{.recent_visits = 50, .statement_ms = 50});
  const std::map<std::string, HistoryHit> answers = index.Answer(titles, *files);
  const HistoryLookup scan = LookUpTitles(path, titles, HistoryLimits{.statement_ms = 50});
  for (const auto& [title, hit] : answers) {
    if (hit.url.empty() || title.empty()) abort();
  }
  for (const auto& [title, hit] : scan.hits) {
    if (hit.url.empty() || title.empty()) abort();
  }
  return 0;
}
