// What became of one thing the uninstall mode set out to remove.
#pragma once

namespace zd {

enum class Removal {
  kRemoved,
  kAbsent,    // nothing to remove: not an error
  kNotEmpty,  // a folder that still holds something else: kept, not an error
  kFailed,    // it is there and could not be removed
};

}  // namespace zd
