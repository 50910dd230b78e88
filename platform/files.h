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

// Another program may hold a file open without sharing it (a virus scanner, a
// backup tool, an editor): a save or a read is then tried again, for about a
// second in all, before it counts as failed.
inline constexpr int kBusyRetries = 8;
inline constexpr int kBusyRetryDelayMs = 125;

enum class Attempt { kDone, kBusy, kFailed };
// Runs `attempt` until it is done or fails for good, sleeping between busy
// tries (at most kBusyRetries of them). True when done.
bool RetryWhileBusy(const std::function<Attempt()>& attempt,
                    const std::function<void(int)>& sleep_ms);

// A save writes the new content under TempPathFor(path), flushes it, renames
// it to CompletePathFor(path) and then renames that over `path` in one step.
// A leftover under the first name is a save cut short while writing (its
// target still holds the old content); one under the second name is whole.
std::string TempPathFor(const std::string& path);
std::string CompletePathFor(const std::string& path);

// The steps of an atomic replace, in order. Tests use them to stop a save at
// any point and check that the old file or the new one is left, never a torn one.
enum class WriteStep { kCreateTemp, kWriteHalf, kWriteRest, kFlush, kMarkComplete, kReplace };

// What the test hook lets a step do: go on, fail (the save cleans up and
// reports failure), or stop dead as a crash or a power cut would, leaving
// every file on disk as it is at that moment.
enum class StepAction { kGo, kFail, kDie };

// What was found of a save cut short (see RecoverInterruptedSave).
enum class Leftover { kNone, kRecovered, kRemoved };

// Who owns a file or a folder, as far as the program's own folder cares:
// SYSTEM and the Administrators group may read and change anything anyway.
enum class Owner { kUnknown, kThisUser, kAdministrators, kOtherAccount };

// What a file's or a folder's access control says. kUnknown owner and `open`
// when it could not be read, or the volume keeps no access control.
struct Security {
  Owner owner = Owner::kUnknown;
  bool inherits = true;  // takes entries from its parent (not protected)
  // An account other than this user, SYSTEM and Administrators may read or
  // change it.
  bool open = true;
};

// A lock file held open: while it lives, no other process holds the same.
class FileLock {
 public:
  virtual ~FileLock() = default;
};

class Files {
 public:
  virtual ~Files() = default;

  // Whole file content; nullopt when the file is missing or cannot be read
  // (a file held by another program is waited for, see above).
  virtual std::optional<std::string> ReadAll(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  virtual bool DirectoryExists(const std::string& path) = 0;
  // Creates the folder and every missing parent; true when it exists afterwards.
  virtual bool CreateDirectories(const std::string& path) = 0;
  // Sets the folder's attributes to "hidden" alone.
  virtual bool SetHiddenAttribute(const std::string& path) = 0;
  // Writes a temporary file beside `path`, flushes it to disk and replaces
  // `path` with it, keeping the replaced file's attributes (hidden, system).
  // While another program holds `path` the replace is retried (see above).
  // False on any failure; `path` then still holds its old content and the
  // temporary file is gone.
  virtual bool WriteAtomic(const std::string& path, std::string_view data) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Renames `from` to `to` in one step, replacing `to` if it exists, and
  // returns once the rename is on disk. The target is never missing meanwhile.
  virtual bool RenameReplacing(const std::string& from, const std::string& to) = 0;

  // Drive roots such as "C:\" in the order the system reports them.
  virtual std::vector<std::string> LogicalDrives() = 0;
  virtual DriveKind DriveType(const std::string& root) = 0;
  // Whether the drive's disk is attached through USB (a fixed disk that
  // leaves with its cable). False when the system cannot tell.
  virtual bool UsbAttached(const std::string& root) = 0;
  // The Windows system folder, without a trailing backslash.
  virtual std::string SystemDirectory() = 0;

  // The owner and access control of an existing file or folder.
  virtual Security QuerySecurity(const std::string& path) = 0;
  // Creates the folder (its missing parents as CreateDirectories does) owned
  // by this user, with a protected access list: this user, SYSTEM and
  // Administrators, inherited by what is made inside. False when it existed.
  virtual bool CreatePrivateDirectory(const std::string& path) = 0;
  // Gives an existing folder that access list, and what is inside it the
  // same by inheritance; with `take_ownership`, makes this user its owner
  // first (refused unless the system allows it).
  virtual bool MakePrivate(const std::string& path, bool take_ownership) = 0;
  // The account the program runs as ("alice"); empty when unknown.
  virtual std::string AccountName() = 0;
  // Creates or opens the lock file `path` and holds it; nullptr while
  // another process holds it (or it cannot be made). It goes with the lock.
  virtual std::unique_ptr<FileLock> HoldLockFile(const std::string& path) = 0;

  // Test hook: called before each step of WriteAtomic (see StepAction).
  std::function<StepAction(WriteStep)> step_hook;

 protected:
  StepAction Step(WriteStep step) const { return step_hook ? step_hook(step) : StepAction::kGo; }
};

// Settles what a save of `path` cut short left behind, before the file is
// read or written: a complete leftover whose target is missing is put in
// place (kRecovered); a complete leftover beside its target, and an
// incomplete one, are removed (kRemoved). A complete leftover whose target is
// missing is never removed, even when it cannot be put in place.
Leftover RecoverInterruptedSave(Files& files, const std::string& path);

// The pieces of a save that differ between file systems; WriteAtomicWith
// puts them together in the one order every Files implementation shares.
class SavePrimitives {
 public:
  virtual ~SavePrimitives() = default;
  // Creates (or empties) the temporary file, with the target's kept attributes.
  virtual bool CreateTemp(const std::string& temp, const std::string& target) = 0;
  virtual bool AppendTemp(std::string_view bytes) = 0;
  virtual bool FlushTemp() = 0;
  virtual bool CloseTemp() = 0;
  // Renames `from` to `to`, replacing it.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  // Puts the complete copy over the target, retried while another program holds it.
  virtual bool PutInPlace(const std::string& complete, const std::string& target) = 0;
  virtual void Remove(const std::string& path) = 0;
};

// The save protocol of Files::WriteAtomic: a leftover settled first, the
// content written to the temporary name in two halves and flushed, renamed
// to the complete name, then put over `path`. `step` is asked before each
// step; a kDie leaves every file as it is at that moment, as a crash would.
bool WriteAtomicWith(Files& files, SavePrimitives& save, const std::string& path,
                     std::string_view data, const std::function<StepAction(WriteStep)>& step);

// The real file system of the machine the program runs on.
std::unique_ptr<Files> MakeSystemFiles();

}  // namespace zd
