// Where this process loads DLLs from. Windows looks in the program's own
// folder first, so a program started from Downloads or a USB stick would load
// a DLL someone put beside it; only the system folder is trusted here.
#pragma once

#include <windows.h>

namespace zd {

// Limits the search of every DLL loaded from now on, by us or by the system's
// own DLLs on our behalf, to the system folder: SetDefaultDllDirectories
// (Windows 8 on, and Windows 7 with KB2533623), else at least without the
// current folder. Call first thing at entry: DLLs imported statically are
// loaded before it, so the executable imports only KnownDLLs.
// https://learn.microsoft.com/windows/win32/dlls/dynamic-link-library-search-order
bool RestrictDllSearchToSystemFolder();

// Loads a DLL of the system folder by its full path; null when it cannot.
HMODULE LoadSystemLibrary(const wchar_t* file_name);

}  // namespace zd
