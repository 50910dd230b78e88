#include "uninstall/self_delete.h"

#include "store/doc.h"
#include "uninstall/removal.h"

namespace zd {
namespace {

std::string WithoutTrailingBackslash(std::string path) {
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

}  // namespace

std::string BatchQuoted(const std::string& path) {
  std::string out(1, '"');
  out += ReplaceAll(path, "%", "%%");
  out += '"';
  return out;
}

std::vector<std::string> SelfDeleteScriptLines(const std::string& exe, const std::string& dir,
                                               const std::string& bat) {
  const std::string e = BatchQuoted(exe);
  return {
      "@echo off",
      "set /a tries=0",
      ":Label1",
      "del /f /q " + e + " >nul 2>&1",
      "if not exist " + e + " goto Label2",
      "set /a tries+=1",
      "if %tries% geq " + std::to_string(kDeleteTries) + " goto Label2",
      // About a second: ping waits one second between its two echoes.
      "ping -n 2 127.0.0.1 >nul",
      "goto Label1",
      ":Label2",
      "rmdir " + BatchQuoted(WithoutTrailingBackslash(dir)) + " >nul 2>&1",
      "del /f /q " + BatchQuoted(bat),
  };
}

std::optional<std::string> EncodeScript(const std::vector<std::string>& lines,
                                        const AnsiCodec& oem) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return oem.FromUtf8(text);
}

std::string ScriptPathFor(const std::string& temp_file) {
  const size_t slash = temp_file.find_last_of('\\');
  const size_t dot = temp_file.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
    return temp_file + ".bat";
  }
  return temp_file.substr(0, dot) + ".bat";
}

std::string ScriptCommandLine(const std::string& cmd_exe, const std::string& bat) {
  // With /s the interpreter strips exactly the outer pair of quotes, so the
  // inner pair keeps a path with blanks (or "&") in one piece.
  return "\"" + cmd_exe + "\" /d /v:off /s /c \"\"" + bat + "\"\"";
}

std::optional<ScriptPlan> PlanSelfDelete(const std::string& exe, const std::string& system_dir,
                                         ShellFolders& folders, FileRemoval& removal,
                                         const AnsiCodec& oem) {
  const std::optional<std::string> temp_file = folders.NewTempFile("uis");
  if (!temp_file) return std::nullopt;
  ScriptPlan plan;
  plan.temp_file = *temp_file;
  plan.bat = ScriptPathFor(*temp_file);
  plan.cmd_exe = WithoutTrailingBackslash(system_dir) + "\\cmd.exe";
  plan.directory = folders.TempFolder();
  const std::string dir = FolderOf(exe);
  std::optional<std::string> bytes = EncodeScript(SelfDeleteScriptLines(exe, dir, plan.bat), oem);
  if (!bytes) {
    // The script file does not exist yet: its short name is its folder's
    // short name and its own (8.3-sized) name.
    const std::string bat_short =
        FolderOf(removal.ShortPath(*temp_file)) + plan.bat.substr(plan.bat.find_last_of('\\') + 1);
    bytes = EncodeScript(
        SelfDeleteScriptLines(removal.ShortPath(exe), removal.ShortPath(dir), bat_short), oem);
    plan.bat = bat_short;
  }
  if (!bytes) return std::nullopt;
  plan.bytes = std::move(*bytes);
  plan.command_line = ScriptCommandLine(plan.cmd_exe, plan.bat);
  return plan;
}

bool StartSelfDelete(const ScriptPlan& plan, Files& files, FileRemoval& removal,
                     Processes& processes) {
  if (!files.WriteAtomic(plan.bat, plan.bytes)) return false;
  removal.RemoveFile(plan.temp_file);
  return processes.StartHidden(plan.cmd_exe, plan.command_line, plan.directory);
}

}  // namespace zd
