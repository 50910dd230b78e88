// Owners and access lists of files and folders: whose the program's folder
// is, and making it this user's alone.
#pragma once

#include <windows.h>

#include <string>

#include "platform/files.h"

namespace zd {

// The owner and access list of `path` (a file or a folder).
Security QueryPathSecurity(const std::wstring& path);
// The same read from a security descriptor.
Security DescribeSecurity(PSECURITY_DESCRIPTOR sd);
// This user's SID as text ("S-1-5-21-...").
std::wstring CurrentUserSidText();

// Creates one folder (its parent must exist) owned by this user, with a
// protected list: this user, SYSTEM and Administrators, inherited inside.
bool CreatePrivateFolder(const std::wstring& path);

// Puts that list on an existing folder (the system passes it on to what is
// inside); with `take_ownership`, this user becomes the owner first.
bool MakePathPrivate(const std::wstring& path, bool take_ownership);

// The account the process runs as; empty when the system cannot say.
std::string CurrentAccountName();

}  // namespace zd
