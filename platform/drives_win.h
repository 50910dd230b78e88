// The drive kind as GetDriveType tells it, for every interface that asks.
#pragma once

#include <windows.h>

#include <string>

#include "platform/files.h"
#include "platform/wide_win.h"

namespace zd {

inline DriveKind Win32DriveKind(const std::string& root) {
  switch (GetDriveTypeW(Utf8ToWide(root).c_str())) {
    case DRIVE_NO_ROOT_DIR:
      return DriveKind::kNoRoot;
    case DRIVE_REMOVABLE:
      return DriveKind::kRemovable;
    case DRIVE_FIXED:
      return DriveKind::kFixed;
    case DRIVE_REMOTE:
      return DriveKind::kRemote;
    case DRIVE_CDROM:
      return DriveKind::kCdRom;
    case DRIVE_RAMDISK:
      return DriveKind::kRamDisk;
    default:
      return DriveKind::kUnknown;
  }
}

}  // namespace zd
