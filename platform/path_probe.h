// How the program asks whether a path exists from its interface thread:
// quietly (no "insert a disk" box), through the 64-bit System32 where a
// 32-bit process sees another one, and never over the network, where an
// offline server would keep the window waiting.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace zd {

// The answer of the file system for one path, told apart finely enough that
// a missing file is never confused with a drive that cannot answer.
enum class PathAnswer {
  kFile,
  kFolder,
  kNotFound,
  kNotReady,    // a drive without its medium
  kOtherError,  // access denied, a malformed name...
  kNotAsked,    // a network path: its answer might keep us waiting
};

// The drive root ("C:\") of a path on a lettered drive, also behind the long
// prefix "\\?\"; empty for any other path.
std::string DriveRootOf(std::string_view path);
// A path on a server: "\\server\share", "//server/share", "\\?\UNC\...".
bool IsUncPath(std::string_view path);
// A path the interface thread does not ask about: on a server, or on a drive
// that `drive_kind` says is a network drive.
bool IsNetworkPath(std::string_view path,
                   const std::function<DriveKind(const std::string& root)>& drive_kind);

}  // namespace zd
