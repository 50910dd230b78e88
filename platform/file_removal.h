// Removing files and folders, with the difference between "was not there"
// and "could not be removed" that a removal report needs.
#pragma once

#include <memory>
#include <string>

#include "platform/removal.h"

namespace zd {

class FileRemoval {
 public:
  virtual ~FileRemoval() = default;
  // A read-only file is made writable first.
  virtual Removal RemoveFile(const std::string& path) = 0;
  // Removes the folder only when it is empty (kNotEmpty otherwise).
  virtual Removal RemoveEmptyFolder(const std::string& path) = 0;
  // A new file can be made in the folder (and removed again).
  virtual bool CanWriteIn(const std::string& folder) = 0;
  // The 8.3 form of an existing path; the path itself when it has none.
  virtual std::string ShortPath(const std::string& path) = 0;
  // Clears read-only and the other attributes, so that the file can be deleted.
  virtual bool MakeDeletable(const std::string& path) = 0;
};

std::unique_ptr<FileRemoval> MakeSystemFileRemoval();

}  // namespace zd
