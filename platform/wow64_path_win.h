// File-system paths as a 64-bit program would see them, for a 32-bit process
// that may run under WOW64.
#pragma once

#include <string>

namespace zd {

// The wide path to hand to file-system calls: under WOW64, paths in
// %windir%\System32 go through %windir%\Sysnative so that they name the real
// files; otherwise (and on 32-bit Windows) the path as given.
std::wstring RealFileSystemPath(const std::string& path);

}  // namespace zd
