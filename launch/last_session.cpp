#include "launch/last_session.h"

#include <algorithm>
#include <iterator>

#include "platform/utf8.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

// The last component of a path, trailing separators left out.
std::string_view FileNameOf(std::string_view path) {
  while (path.size() > 1 && (path.back() == '\\' || path.back() == '/')) path.remove_suffix(1);
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool IsProgramFile(std::string_view path) { return LowerAscii(PathExtension(path)) == ".exe"; }

// A local path below `folder` (any depth), letter case aside.
bool IsBelow(std::string_view path, std::string_view folder) {
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
    folder.remove_suffix(1);
  if (folder.empty() || path.size() <= folder.size() + 1) return false;
  const char after = path[folder.size()];
  return (after == '\\' || after == '/') &&
         EqualsIgnoringAsciiCase(path.substr(0, folder.size()), folder);
}

std::string NameFor(const std::string& location, const DocArray& history) {
  const std::string key = DocPathKey(location);
  for (auto it = history.rbegin(); it != history.rend(); ++it) {
    if (DocPathKey(it->path) != key) continue;
    // A folder's record is named by its path: its own name says more.
    if (!Trim(it->name).empty() && DocPathKey(it->name) != key) return Trim(it->name);
    break;
  }
  if (IsLocalDocPath(location)) return std::string(FileNameOf(location));
  return location;
}

}  // namespace

bool OnlyHostsOthers(std::string_view program) {
  // Hosts of apps, consoles, DLLs, scripts, Java and Python programs, services.
  static constexpr std::string_view kHosts[] = {
      "applicationframehost.exe",
      "mmc.exe",
      "rundll32.exe",
      "javaw.exe",
      "java.exe",
      "dllhost.exe",
      "msiexec.exe",
      "wscript.exe",
      "cscript.exe",
      "wwahost.exe",
      "svchost.exe",
      "conhost.exe",
      "pythonw.exe",
      "python.exe",
  };
  const std::string file = LowerAscii(FileNameOf(program));
  if (std::find(std::begin(kHosts), std::end(kHosts), file) != std::end(kHosts)) return true;
  // Setups and uninstallers: setup.exe, setupZD.exe, unins000.exe, xyz_installer.exe.
  return file.ends_with(".exe") &&
         (file.find("setup") != std::string::npos || file.find("install") != std::string::npos ||
          file.starts_with("unins"));
}

bool OpensNothingByItself(std::string_view program, std::string_view windows_dir) {
  if (!IsBelow(program, windows_dir)) return false;
  // The tools that show a window of their own when started plainly.
  static constexpr std::string_view kOwnWindow[] = {
      "notepad.exe", "mspaint.exe", "calc.exe",  "charmap.exe",      "cmd.exe",
      "regedit.exe", "taskmgr.exe", "write.exe", "wordpad.exe",      "control.exe",
      "mstsc.exe",   "magnify.exe", "osk.exe",   "snippingtool.exe", "powershell.exe",
  };
  const std::string file = LowerAscii(FileNameOf(program));
  return std::find(std::begin(kOwnWindow), std::end(kOwnWindow), file) == std::end(kOwnWindow);
}

std::vector<SessionDoc> LastSessionDocs(const std::vector<std::string>& last_run,
                                        std::string_view own_exe, ShellLauncher& shell,
                                        const DocArray& history) {
  std::vector<SessionDoc> docs;
  const std::string windows_dir = shell.WindowsDirectory();
  for (const std::string& line : last_run) {
    std::string location = Trim(line);
    // A folder as the history keeps it: the address's blanks back, slashes turned.
    location = RegistrationKey(ReplaceAll(location, "%20", " "));
    if (location.empty() || EqualsIgnoringAsciiCase(location, Trim(own_exe))) continue;
    if (IsProgramFile(location) &&
        (OnlyHostsOthers(location) || OpensNothingByItself(location, windows_dir))) {
      continue;
    }
    if (IsLocalDocPath(location)) {
      const PathAnswer answer = shell.QueryPath(location);
      if (answer != PathAnswer::kFile && answer != PathAnswer::kFolder &&
          answer != PathAnswer::kNotAsked) {
        continue;
      }
    }
    const bool seen = std::any_of(docs.begin(), docs.end(), [&](const SessionDoc& known) {
      return EqualsIgnoringAsciiCase(known.path, location);
    });
    if (seen) continue;
    std::string name = NameFor(location, history);
    docs.push_back({std::move(location), std::move(name)});
  }
  return docs;
}

std::string SessionRowText(const SessionDoc& doc) {
  if (doc.name.empty() || doc.name == doc.path) return doc.path;
  return doc.name + " - " + doc.path;
}

void OpenLastSession(const std::vector<std::string>& paths, DocOpener& opener) {
  for (const std::string& path : paths) opener.OpenDocPath(path, false);
}

}  // namespace zd
