// What a scan found, one line each ("address*|*name*2*kind"), for tests to
// compare with what they expect at a glance.
#pragma once

#include <string>
#include <vector>

#include "tracking/found_doc.h"

namespace zd::testing_support {

inline std::vector<std::string> ScanLines(const std::vector<FoundDoc>& found) {
  std::vector<std::string> lines;
  for (const FoundDoc& f : found) {
    lines.push_back(f.address + "*|*" + f.name + "*2*" + std::to_string(StoredNumber(f.kind)));
  }
  return lines;
}

}  // namespace zd::testing_support
