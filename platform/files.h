// Files and drives, behind an interface so the store can be tested with a fake
// and with injected failures. Paths are UTF-8; on Windows they are Windows paths.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zd {

enum class DriveKind { kUnknown, kNoRoot, kRemovable, kFixed, kRemote, kCdRom, kRamDisk };

// The steps of an atomic replace, in order. Tests use them to stop a save at
// any point and check that the old file or the new one is left, never a torn one.
enum class WriteStep { kCreateTemp, kWriteHalf, kWriteRest, kFlush, kReplace };

class Files {
 public:
  virtual ~Files() = default;

  // Whole file content; nullopt when the file is missing or cannot be read.
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Creates the folder and every missing parent; true when it exists afterwards.
  virtual bool CreateDirectories(const std::string& path) = 0;
  // Sets the folder's attributes to "hidden" alone.
  virtual bool SetHiddenAttribute(const std::string& path) = 0;
  // Writes a temporary file beside `path`, flushes it to disk and replaces
  // `path` with it. False on any failure; `path` then still holds its old content.
  virtual bool WriteAtomic(const std::string& path, std::string_view data) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;

  // Drive roots such as "C:\" in the order the system reports them.
  virtual std::vector<std::string> LogicalDrives() = 0;
  virtual DriveKind DriveType(const std::string& root) = 0;
  // The Windows system folder, without a trailing backslash.
  virtual std::string SystemDirectory() = 0;

  // Test hook: called before each step of WriteAtomic; returning false makes
  // the write stop there as if the step had failed (or power was cut).
  std::function<bool(WriteStep)> step_hook;
};

// The real file system of the machine the program runs on.
std::unique_ptr<Files> MakeSystemFiles();

}  // namespace zd
