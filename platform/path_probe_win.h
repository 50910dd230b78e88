// The real file system asked as the interface thread may ask it (see
// path_probe.h), for every existence check of the shell launcher and the scans.
#pragma once

#include <string>

#include "platform/path_probe.h"

namespace zd {

// One quiet question: no "insert a disk" box, System32 as a 64-bit program
// sees it, and kNotAsked for a network path. A trailing "\" is ignored.
PathAnswer ProbePath(const std::string& path);

}  // namespace zd
