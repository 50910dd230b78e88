// The script that deletes the program after its process has ended: it tries
// to delete the executable once a second until the file lets go (30 tries at
// most), removes the program's folder when that is empty (and the maker's
// folder above it when that is empty then), then itself. Every program it
// calls is named by its full path: an elevated script must not run what the
// user's other programs put on the search path.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_removal.h"
#include "platform/files.h"
#include "platform/processes.h"
#include "platform/shell_folders.h"
#include "platform/text_codec.h"

namespace zd {

inline constexpr int kDeleteTries = 30;

// A path as a batch file must write it: in double quotes, every "%" doubled
// so that the command interpreter does not expand it.
std::string BatchQuoted(const std::string& path);

// The script's lines for the executable `exe`, its folder `dir`, the script's
// own path `bat` and the system folder; `maker_dir` (when not empty) is
// removed after `dir` if nothing else is left in it.
std::vector<std::string> SelfDeleteScriptLines(const std::string& exe, const std::string& dir,
                                               const std::string& bat,
                                               const std::string& system_dir,
                                               const std::string& maker_dir = "");

// The maker's folder above the program's folder `dir` ("...\MRX软件\" for
// "...\MRX软件\Zapdock\"), or empty when the folder above has another name.
std::string MakerFolderAbove(const std::string& dir);

// The lines as the command interpreter reads them: CR LF, in its (OEM) code
// page. nullopt when some character has no form there.
std::optional<std::string> EncodeScript(const std::vector<std::string>& lines,
                                        const AnsiCodec& oem);

// "uis1A2B.tmp" -> "uis1A2B.bat".
std::string ScriptPathFor(const std::string& temp_file);

// The command line that runs the script: cmd.exe by its full path, without
// AutoRun commands or delayed expansion, the script path quoted.
std::string ScriptCommandLine(const std::string& cmd_exe, const std::string& bat);

struct ScriptPlan {
  std::string temp_file;     // the unique temporary file the script's name comes from
  std::string bat;           // where the script goes
  std::string bytes;         // its content
  std::string cmd_exe;       // the command interpreter's full path
  std::string command_line;  // what it is started with
  std::string directory;     // started there: the system folder
};

// Plans the script for `exe`. An elevated uninstall keeps it where only
// administrators may change it (the Windows folder's temporary folder), any
// other in the user's temporary folder. When a path does not fit the OEM code
// page the script reaches the paths by their short names; nullopt when even
// those do not fit or no temporary file could be made.
std::optional<ScriptPlan> PlanSelfDelete(const std::string& exe, const std::string& system_dir,
                                         ShellFolders& folders, FileRemoval& removal,
                                         const AnsiCodec& oem, bool elevated);

// Writes the script, removes the temporary file its name came from and starts
// it hidden. False when any of that failed.
bool StartSelfDelete(const ScriptPlan& plan, Files& files, FileRemoval& removal,
                     Processes& processes);

}  // namespace zd
