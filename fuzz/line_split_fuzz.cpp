// Splitting any line: the parts must put the line back together.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/doc.h"

using namespace zd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  DocLine record;
  record.kind = -12345;
  const bool split = ListLineSplit(line, record);
  if (split != (line.find(kLineSep) != std::string::npos)) abort();
  if (!split) {
    if (!record.path.empty() || !record.name.empty() || record.kind != -12345) abort();
    if (LineRowText(line) != line) abort();
  } else {
    if (record.path.find(kLineSep) != std::string::npos) abort();
    // Put back together as a line is built: control characters as blanks.
    const std::string head = MakeDocLine(record.path, record.name);
    if (BlankControlChars(line).compare(0, head.size(), head) != 0) abort();
    const std::string rest = line.substr(head.size());
    if (rest.empty()) {
      if (record.kind != -12345) abort();
    } else if (rest.compare(0, kKindSep.size(), kKindSep) != 0) {
      abort();  // the name ends only at "*2*" or at the end of the line
    }
    if (record.name.find(kKindSep) != std::string::npos) abort();
    // The row a list box shows starts with the name.
    if (LineRowText(line).compare(0, record.name.size(), record.name) != 0) abort();
    // A kind that was read is written back the same way.
    if (record.kind != -12345) {
      DocLine again;
      if (!ListLineSplit(MakeLongDocLine(record.path, record.name, record.kind), again)) abort();
      if (again.path != BlankControlChars(record.path) ||
          again.name != BlankControlChars(record.name) || again.kind != record.kind) {
        abort();
      }
    }
  }
  const std::string trimmed = Trim(line);
  if (Trim(trimmed) != trimmed) abort();
  const std::string stripped = StripFilePrefix(line);
  if (line.size() < stripped.size() ||
      line.compare(line.size() - stripped.size(), stripped.size(), stripped) != 0) {
    abort();
  }
  return 0;
}
