#include "platform/path_probe.h"

namespace zd {
namespace {

bool IsSlash(char c) { return c == '\\' || c == '/'; }

constexpr std::string_view kLongPrefix = "\\\\?\\";

}  // namespace

std::string DriveRootOf(std::string_view path) {
  if (path.starts_with(kLongPrefix)) path.remove_prefix(kLongPrefix.size());
  if (path.size() < 2 || path[1] != ':') return {};
  char letter = path[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
  if (letter < 'A' || letter > 'Z') return {};
  return std::string(1, letter) + ":\\";
}

bool IsUncPath(std::string_view path) {
  if (path.size() < 2 || !IsSlash(path[0]) || !IsSlash(path[1])) return false;
  // "\\?\C:\..." is a long local path; "\\?\UNC\..." a server's.
  if (path.starts_with(kLongPrefix)) return DriveRootOf(path).empty();
  return true;
}

bool IsNetworkPath(std::string_view path,
                   const std::function<DriveKind(const std::string& root)>& drive_kind) {
  if (IsUncPath(path)) return true;
  const std::string root = DriveRootOf(path);
  return !root.empty() && drive_kind && drive_kind(root) == DriveKind::kRemote;
}

}  // namespace zd
