// The self-deletion script for any paths: every path stays inside its quotes
// and no "%" of a path survives alone, so the command interpreter reads each
// path as written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "uninstall/self_delete.h"

using namespace zd;

namespace {

// `quoted` is "..." with the path's "%" doubled and nothing else changed.
void CheckQuoted(const std::string& quoted, const std::string& path) {
  if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"') abort();
  std::string back;
  const std::string inner = quoted.substr(1, quoted.size() - 2);
  for (size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] == '%') {
      if (i + 1 >= inner.size() || inner[i + 1] != '%') abort();
      ++i;
    }
    back += inner[i];
  }
  if (back != path) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Windows paths hold no quotes, line breaks or NULs.
  std::string path;
  for (size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    if (c != '"' && c != '\r' && c != '\n' && c != '\0') path += c;
  }
  CheckQuoted(BatchQuoted(path), path);
  const std::vector<std::string> lines =
      SelfDeleteScriptLines(path, path + "\\", path + ".bat", "C:\\Windows\\system32");
  if (lines.size() != 12) abort();
  for (const std::string& line : lines) {
    if (line.find('\n') != std::string::npos || line.find('\r') != std::string::npos) abort();
  }
  CheckQuoted(lines[3].substr(10, lines[3].size() - 20), path);
  return 0;
}
