// Fixture of the layering check: portable code that swallows a failure where
// no boundary is (the comment's catch (...) does not count, the code's does).
#include "platform/errors.h"

namespace zd {

bool Parse(int& value) {
  try {
    value = 1;
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace zd
