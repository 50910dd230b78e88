#include "platform/wow64_path.h"

#include "platform/utf8.h"

namespace zd {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Length of the prefix of `path` that matches `folder`, or npos. Separators
// match each other.
size_t MatchFolder(std::string_view path, std::string_view folder) {
  if (path.size() < folder.size()) return std::string_view::npos;
  for (size_t i = 0; i < folder.size(); ++i) {
    const char a = path[i], b = folder[i];
    if (IsSeparator(a) && IsSeparator(b)) continue;
    if (UpperAscii(a) != UpperAscii(b)) return std::string_view::npos;
  }
  return folder.size();
}

}  // namespace

std::optional<std::string> SysnativePath(std::string_view path, std::string_view windows_dir) {
  while (!windows_dir.empty() && IsSeparator(windows_dir.back())) windows_dir.remove_suffix(1);
  if (windows_dir.empty()) return std::nullopt;

  std::string_view long_prefix;
  if (path.substr(0, 4) == "\\\\?\\") {
    long_prefix = path.substr(0, 4);
    path.remove_prefix(4);
  }
  const std::string system32 = std::string(windows_dir) + "\\System32";
  const size_t n = MatchFolder(path, system32);
  if (n == std::string_view::npos) return std::nullopt;
  // "C:\Windows\System32x" is another folder.
  if (n < path.size() && !IsSeparator(path[n])) return std::nullopt;

  std::string mapped(long_prefix);
  mapped += path.substr(0, windows_dir.size());
  mapped += "\\Sysnative";
  mapped += path.substr(n);
  return mapped;
}

std::optional<std::string> SysnativeProgramPath(std::string_view path,
                                                std::string_view windows_dir) {
  const size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || path.find_first_of("\\/", dot) != std::string_view::npos) {
    return std::nullopt;
  }
  const std::string extension = LowerAscii(path.substr(dot));
  if (extension != ".exe" && extension != ".com") return std::nullopt;
  return SysnativePath(path, windows_dir);
}

}  // namespace zd
