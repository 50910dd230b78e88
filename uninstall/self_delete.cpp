#include "uninstall/self_delete.h"

#include "platform/utf8.h"
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

bool ScriptCanCarry(const std::string& path, const AnsiCodec& oem) {
  if (HasByteEscape(path)) return false;
  for (const char ch : path) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || c == '"' || c == '%') return false;
  }
  const std::optional<std::string> bytes = oem.FromUtf8(path);
  return bytes && oem.ToUtf8(*bytes) == path;
}

std::vector<std::string> SelfDeleteScriptLines(const std::string& exe, const std::string& dir,
                                               const std::string& bat,
                                               const std::string& system_dir,
                                               const std::string& maker_dir) {
  const std::string e = BatchQuoted(exe);
  // del, if, set, goto and rmdir are the interpreter's own commands; the one
  // program it starts is named by its full path.
  const std::string ping = BatchQuoted(WithoutTrailingBackslash(system_dir) + "\\ping.exe");
  std::vector<std::string> lines = {
      "@echo off",
      "set /a tries=0",
      ":Label1",
      "del /f /q " + e + " >nul 2>&1",
      "if not exist " + e + " goto Label2",
      "set /a tries+=1",
      "if %tries% geq " + std::to_string(kDeleteTries) + " goto Label2",
      // About a second: ping waits one second between its two echoes.
      ping + " -n 2 127.0.0.1 >nul",
      "goto Label1",
      ":Label2",
      "rmdir " + BatchQuoted(WithoutTrailingBackslash(dir)) + " >nul 2>&1",
  };
  // Fails quietly while the maker's other programs are there.
  if (!maker_dir.empty())
    lines.push_back("rmdir " + BatchQuoted(WithoutTrailingBackslash(maker_dir)) + " >nul 2>&1");
  // One line: the interpreter reads no further line of a script that is gone.
  lines.push_back("del /f /q " + BatchQuoted(bat) + " & rmdir " +
                  BatchQuoted(WithoutTrailingBackslash(FolderOf(bat))));
  return lines;
}

std::string MakerFolderAbove(const std::string& dir) {
  const std::string folder = WithoutTrailingBackslash(dir);
  const size_t cut = folder.find_last_of('\\');
  if (cut == std::string::npos || cut < 3) return {};
  const std::string parent = folder.substr(0, cut);
  const size_t name = parent.find_last_of('\\');
  if (name == std::string::npos || !EqualsIgnoringAsciiCase(parent.substr(name + 1), kMakerFolder))
    return {};
  return parent + "\\";
}

std::optional<std::string> EncodeScript(const std::vector<std::string>& lines,
                                        const AnsiCodec& oem) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  std::optional<std::string> bytes = oem.FromUtf8(text);
  // A double-byte code page may join a byte to its neighbour: only bytes
  // that read back as the same lines are the script.
  if (!bytes || oem.ToUtf8(*bytes) != text) return std::nullopt;
  return bytes;
}

std::string ScriptCommandLine(const std::string& cmd_exe, const std::string& bat) {
  // With /s the interpreter strips exactly the outer pair of quotes, so the
  // inner pair keeps a path with blanks (or "&") in one piece.
  return "\"" + cmd_exe + "\" /d /v:off /s /c \"\"" + bat + "\"\"";
}

std::optional<ScriptPlan> PlanSelfDelete(const std::string& exe, const std::string& system_dir,
                                         ShellFolders& folders, FileRemoval& removal,
                                         const AnsiCodec& oem, bool elevated) {
  const std::string parent = elevated ? folders.SystemTempFolder() : folders.TempFolder();
  if (parent.empty()) return std::nullopt;
  const std::optional<std::string> folder = folders.NewPrivateFolder(parent, kScriptFolderPrefix);
  if (!folder) return std::nullopt;
  ScriptPlan plan;
  plan.folder = *folder;
  plan.cmd_exe = WithoutTrailingBackslash(system_dir) + "\\cmd.exe";
  // Nothing of the program's folder is held open, and nothing of the
  // user's is the current folder of an elevated command interpreter.
  plan.directory = WithoutTrailingBackslash(system_dir);
  const auto script = [&](const std::string& e, const std::string& d, const std::string& bat,
                          const std::string& system,
                          const std::string& maker) -> std::optional<std::string> {
    for (const std::string* path : {&e, &d, &bat, &system, &maker})
      if (!ScriptCanCarry(*path, oem)) return std::nullopt;
    return EncodeScript(SelfDeleteScriptLines(e, d, bat, system, maker), oem);
  };
  const std::string dir = FolderOf(exe);
  const std::string maker = MakerFolderAbove(dir);
  plan.bat = plan.folder + kScriptName;
  std::optional<std::string> bytes = script(exe, dir, plan.bat, system_dir, maker);
  if (!bytes) {
    // The script file does not exist yet: its short name is its folder's
    // short name and its own (8.3-sized) name.
    const std::string bat_short = removal.ShortPath(plan.folder) + kScriptName;
    bytes = script(removal.ShortPath(exe), removal.ShortPath(dir), bat_short,
                   removal.ShortPath(system_dir),
                   maker.empty() ? std::string() : removal.ShortPath(maker));
    plan.bat = bat_short;
  }
  if (!bytes) {
    removal.RemoveEmptyFolder(plan.folder);
    return std::nullopt;
  }
  plan.bytes = std::move(*bytes);
  plan.command_line = ScriptCommandLine(plan.cmd_exe, plan.bat);
  return plan;
}

bool StartSelfDelete(const ScriptPlan& plan, ShellFolders& folders, FileRemoval& removal,
                     Processes& processes) {
  if (folders.WriteNewFile(plan.bat, plan.bytes)) {
    if (processes.StartHidden(plan.cmd_exe, plan.command_line, plan.directory)) return true;
    removal.RemoveFile(plan.bat);
  }
  removal.RemoveEmptyFolder(plan.folder);
  return false;
}

}  // namespace zd
