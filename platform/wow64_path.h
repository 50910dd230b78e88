// A 32-bit process on 64-bit Windows sees %windir%\System32 redirected to
// SysWOW64, so a path read from a 64-bit process (say the System32 copy of
// notepad.exe) would name a different file, or none. The real folder is
// reachable as %windir%\Sysnative from such a process.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zd {

// The path rewritten through %windir%\Sysnative when it lies in
// `windows_dir`\System32 (the folder itself included); nullopt when it lies
// elsewhere. ASCII letters compare ignoring case and "/" counts as "\"; a
// leading "\\?\" is kept. `windows_dir` may end with a separator.
std::optional<std::string> SysnativePath(std::string_view path, std::string_view windows_dir);

// What a 32-bit process hands the shell to start a program of the 64-bit
// System32: the Sysnative path of an ".exe" or ".com" there. Nothing for
// other files or folders: the 64-bit programs they open (Explorer, an
// editor) know no Sysnative, and find them under System32 as given.
std::optional<std::string> SysnativeProgramPath(std::string_view path,
                                                std::string_view windows_dir);

}  // namespace zd
