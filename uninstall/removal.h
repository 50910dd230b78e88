// What the uninstall mode removes, in order, and the report of what became of
// each thing. Portable: every system call goes through platform interfaces.
#pragma once

#include <string>
#include <vector>

#include "platform/file_removal.h"
#include "platform/registry_keys.h"
#include "platform/removal.h"
#include "platform/shell_folders.h"
#include "store/program_files.h"

namespace zd {

// The group under which the setup puts the program's shortcuts.
inline constexpr char kMakerFolder[] = "MRX软件";
// Where Windows keeps log-on programs that the user switched off.
inline constexpr char kStartupApprovedRunKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

struct UninstallContext {
  std::string exe_path;          // the running executable, full path
  std::string product_name;      // "Zapdock": shortcut and uninstall-key name
  std::string app_key;           // "VAROV"
  std::string logon_value_name;  // the interface product title: "MRXZapdock"
};

// The name of the program's own log-on value: the interface's product title
// of the build's language ("MRXZapdock"), not the uninstall mode's "Zapdock".
std::string OwnLogonValueName(int language_index);

// The folder of a path, with its trailing backslash ("C:\a\" for "C:\a\b.exe").
std::string FolderOf(const std::string& path);

enum class UninstallStep {
  kDesktopShortcut,
  kDesktopGroup,
  kProgramsShortcut,
  kProgramsGroup,
  kProgramKey,         // HKCU\Software\VazOzod\<app key>
  kUninstallKey,       // HKLM\...\Uninstall\<product>
  kLogonValueMachine,  // HKLM\...\Run, value <logon name>
  kLogonValueUser,     // HKCU\...\Run
  kLogonStateMachine,  // the StartupApproved values of the same name
  kLogonStateUser,
  kSettingsFile,  // "defualt.ini" beside the executable
};

struct StepOutcome {
  UninstallStep step;
  std::string target;  // the path or key it concerned
  Removal result;
  bool operator==(const StepOutcome&) const = default;
};

struct RemovalReport {
  std::vector<StepOutcome> steps;  // in the order they ran
  bool completed = false;          // false when a failure abandoned the rest
  // Everything that was there is gone.
  bool AllRemoved() const;
  std::vector<StepOutcome> Failures() const;
};

// Which steps run: all, or only those of the current user's profile (before
// an elevated copy takes over the machine's part: an administrator who
// elevates may be another user, with another profile).
enum class RemovalScope { kAll, kUserOnly };

// The removal steps in their order; each step is best-effort, and a failure
// that escapes a step abandons the rest (one guard around the whole).
RemovalReport RunRemoval(const UninstallContext& context, RegistryKeys& registry,
                         FileRemoval& files, ShellFolders& folders,
                         RemovalScope scope = RemovalScope::kAll);

// The step touches only the current user's profile.
bool IsUserStep(UninstallStep step);

// What must be writable for the removal to succeed, and is not. An empty
// answer means nothing needs an administrator.
struct AccessProblems {
  bool machine_registry = false;  // the uninstall key or the machine's log-on value
  bool program_folder = false;
  bool any() const { return machine_registry || program_folder; }
};
AccessProblems CheckAccess(const UninstallContext& context, RegistryKeys& registry,
                           FileRemoval& files);

// The second argument of an uninstall start made by the uninstall itself,
// elevated: the new copy starts the removal at once.
inline constexpr char kElevatedOption[] = "--elevated";

// Whether a start may skip the window's question: only one made with
// kElevatedOption that really runs elevated. Anyone can type the option.
bool HonoursElevatedStart(const std::vector<std::string>& args, bool elevated);

enum class ElevationChoice { kProceed, kRelaunchElevated };
// Relaunch elevated once when something needs an administrator and we are
// not one; an elevated start (or a second try) proceeds and reports.
ElevationChoice ChooseElevation(const AccessProblems& problems, bool elevated,
                                bool relaunched_already);

}  // namespace zd
