#include "launch/last_session.h"

#include "platform/utf8.h"
#include "store/doc.h"
#include "tracking/doc_kinds.h"

namespace zd {

std::vector<std::string> LastSessionDocs(const std::vector<std::string>& last_run,
                                         std::string_view own_exe, ShellLauncher& shell) {
  std::vector<std::string> docs;
  for (const std::string& line : last_run) {
    std::string location = Trim(line);
    // A folder as the history keeps it: the address's blanks back, slashes turned.
    location = RegistrationKey(ReplaceAll(location, "%20", " "));
    if (location.empty() || EqualsIgnoringAsciiCase(location, Trim(own_exe))) continue;
    const bool local = location.size() > 2 && (location[1] == ':' || location.starts_with("\\\\"));
    if (local && !shell.FileExists(location) && !shell.DirectoryExists(location)) continue;
    bool seen = false;
    for (const std::string& known : docs) seen = seen || EqualsIgnoringAsciiCase(known, location);
    if (!seen) docs.push_back(std::move(location));
  }
  return docs;
}

void OpenLastSession(const std::vector<std::string>& docs, DocOpener& opener) {
  for (const std::string& doc : docs) opener.OpenDocPath(doc, false);
}

}  // namespace zd
