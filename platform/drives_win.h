// The drive kind as GetDriveType tells it, and the bus its disk hangs on,
// for every interface that asks.
#pragma once

#include <windows.h>

#include <winioctl.h>

#include <cstddef>
#include <string>

#include "platform/files.h"
#include "platform/handles_win.h"
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

// Whether the drive's disk is attached through USB: the storage property of
// the volume's device; opening it with no access rights needs no elevation.
// https://learn.microsoft.com/windows/win32/api/winioctl/ni-winioctl-ioctl_storage_query_property
inline bool Win32UsbAttached(const std::string& root) {
  if (root.size() < 2 || root[1] != ':') return false;
  const std::wstring device = L"\\\\.\\" + Utf8ToWide(root.substr(0, 2));
  UniqueHandle h = FileHandle(CreateFileW(device.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
  if (!h) return false;
  STORAGE_PROPERTY_QUERY query{};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  STORAGE_DEVICE_DESCRIPTOR descriptor{};
  DWORD returned = 0;
  if (!DeviceIoControl(h.get(), IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, &descriptor,
                       sizeof descriptor, &returned, nullptr) ||
      returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + sizeof descriptor.BusType) {
    return false;
  }
  return descriptor.BusType == BusTypeUsb;
}

}  // namespace zd
