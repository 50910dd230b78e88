// The script that deletes the program after its process has ended: it tries
// to delete the executable once a second until the file lets go (30 tries at
// most), removes the program's folder when that is empty (and the maker's
// folder above it when that is empty then), then itself and the folder made
// for it. Every program it calls is named by its full path: an elevated
// script must not run what the user's other programs put on the search path.
// It is written into a folder made fresh for it that no other account may
// open, so nobody else can prepare or change what runs elevated.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_removal.h"
#include "platform/processes.h"
#include "platform/shell_folders.h"
#include "platform/text_codec.h"

namespace zd {

inline constexpr int kDeleteTries = 30;

// The folder made for the script is named "<prefix><16 hex digits>"; the
// script in it has this name.
inline constexpr char kScriptFolderPrefix[] = "zd-uninstall-";
inline constexpr char kScriptName[] = "uninstall.bat";

// A path as a batch file must write it: in double quotes, every "%" doubled
// so that the command interpreter does not expand it.
std::string BatchQuoted(const std::string& path);

// The path can stand in the script exactly as it is: the OEM code page
// writes every character of it and reads the same text back, and it holds
// no byte escape (which the codec would write as the byte it stands for: an
// escaped line feed or quote would become a real one), no control character,
// no double quote and no "%".
bool ScriptCanCarry(const std::string& path, const AnsiCodec& oem);

// The script's lines for the executable `exe`, its folder `dir`, the script's
// own path `bat` (alone in a folder made for it, which goes with it) and the
// system folder; `maker_dir` (when not empty) is removed after `dir` if
// nothing else is left in it.
std::vector<std::string> SelfDeleteScriptLines(const std::string& exe, const std::string& dir,
                                               const std::string& bat,
                                               const std::string& system_dir,
                                               const std::string& maker_dir = "");

// The maker's folder above the program's folder `dir` ("...\MRX软件\" for
// "...\MRX软件\Zapdock\"), or empty when the folder above has another name.
std::string MakerFolderAbove(const std::string& dir);

// The lines as the command interpreter reads them: CR LF, in its (OEM) code
// page. nullopt when some character has no form there, or the bytes do not
// read back as the same text.
std::optional<std::string> EncodeScript(const std::vector<std::string>& lines,
                                        const AnsiCodec& oem);

// The command line that runs the script: cmd.exe by its full path, without
// AutoRun commands or delayed expansion, the script path quoted.
std::string ScriptCommandLine(const std::string& cmd_exe, const std::string& bat);

struct ScriptPlan {
  std::string folder;        // made for the script, with a trailing backslash
  std::string bat;           // where the script goes: in `folder`
  std::string bytes;         // its content
  std::string cmd_exe;       // the command interpreter's full path
  std::string command_line;  // what it is started with
  std::string directory;     // started there: the system folder
};

// Plans the script for `exe` and makes its folder: for an elevated uninstall
// in the Windows folder's temporary folder, else in the user's. When a path
// cannot stand in the script as it is (ScriptCanCarry) the script reaches
// every path by its short name; nullopt (and the folder removed again) when
// even those cannot, or no folder could be made.
std::optional<ScriptPlan> PlanSelfDelete(const std::string& exe, const std::string& system_dir,
                                         ShellFolders& folders, FileRemoval& removal,
                                         const AnsiCodec& oem, bool elevated);

// Writes the script as a new file in its folder and starts it hidden. False
// when either failed; nothing of the script is left then.
bool StartSelfDelete(const ScriptPlan& plan, ShellFolders& folders, FileRemoval& removal,
                     Processes& processes);

}  // namespace zd
