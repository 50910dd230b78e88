// One thing a refresh found open, before it is registered: what the privacy
// rules look at and may change.
#pragma once

#include <cstdint>
#include <string>

#include "store/doc.h"

namespace zd {

struct FoundDoc {
  std::string address;  // web address, "file:///" folder address, executable or file path
  std::string name;     // page title, window title, or the folder address again
  std::string program;  // the program that shows it (its path, or its file name)
  DocKind kind = DocKind::kWeb;
  // When the user opened it (seconds since 1970), where its source says; 0: now.
  int64_t opened = 0;
  bool operator==(const FoundDoc&) const = default;
};

}  // namespace zd
