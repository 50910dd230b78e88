// File-system paths as a 64-bit program would see them, for a 32-bit process
// that may run under WOW64.
#pragma once

#include <string>

namespace zd {

// The wide path to hand to file-system calls: under WOW64, paths in
// %windir%\System32 go through %windir%\Sysnative so that they name the real
// files; otherwise (and on 32-bit Windows) the path as given.
std::wstring RealFileSystemPath(const std::string& path);
// The path to hand the shell to open: a program of the 64-bit System32
// through Sysnative under WOW64 (SysnativeProgramPath), anything else as given.
std::wstring RealProgramPath(const std::string& path);

// Tests stand in for a 64-bit Windows: from now on the paths under
// `windows_dir`\System32 map as under WOW64. Empty: the system's own answer again.
void SimulateWow64ForTests(const std::string& windows_dir);

}  // namespace zd
