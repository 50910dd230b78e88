// "恢复上次打开的文档": the programs and places that were open when the main
// window last closed ("lr.dat"), opened again, each once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "launch/open_docs.h"
#include "platform/shell_launcher.h"
#include "store/doc.h"

namespace zd {

// One location the question offers.
struct SessionDoc {
  std::string path;  // what opens
  std::string name;  // the history's name for it, else its file or folder name
  bool operator==(const SessionDoc&) const = default;
};

// A program that only runs something else, which its arguments named (an
// app's frame, a console, a DLL, a Java program, a setup): started again on
// its own it opens nothing the user had, or starts an installation over.
bool OnlyHostsOthers(std::string_view program);
// A program of the Windows folder that opens nothing when started without
// arguments: everything there but the few tools that show a window of their own.
bool OpensNothingByItself(std::string_view program, std::string_view windows_dir);

// The locations to open: folder addresses as local paths, each location once
// (letter case aside), without this program itself, without the programs
// above, and without local files and folders that are gone. A network place
// is not asked about and is kept: the shell says so if it cannot be reached.
std::vector<SessionDoc> LastSessionDocs(const std::vector<std::string>& last_run,
                                        std::string_view own_exe, ShellLauncher& shell,
                                        const DocArray& history);

// What a row of the question shows: "name - path", or the path alone when
// the name is the path.
std::string SessionRowText(const SessionDoc& doc);

// Opens them as the tray's menus open documents, without recording them.
void OpenLastSession(const std::vector<std::string>& paths, DocOpener& opener);

}  // namespace zd
