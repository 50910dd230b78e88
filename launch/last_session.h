// "恢复上次打开的文档": the programs and places that were open when the main
// window last closed ("lr.dat"), opened again, each once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "launch/open_docs.h"
#include "platform/shell_launcher.h"

namespace zd {

// The locations to open: folder addresses as local paths, each location once
// (letter case aside), without this program itself and without local files
// and folders that are gone.
std::vector<std::string> LastSessionDocs(const std::vector<std::string>& last_run,
                                         std::string_view own_exe, ShellLauncher& shell);

// Opens them as the tray's menus open documents, without recording them.
void OpenLastSession(const std::vector<std::string>& docs, DocOpener& opener);

}  // namespace zd
