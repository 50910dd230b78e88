// What the user has open: program windows, Explorer and browser windows, as
// found documents, and the close-time snapshot of the same two sources.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lang/lang_tables.h"
#include "platform/shell_windows.h"
#include "platform/window_system.h"
#include "tracking/found_doc.h"

namespace zd {

// A row of the window enumeration: a title and the window it belongs to.
struct WindowRow {
  WindowId id = 0;
  std::string title;
};

// Visible, not owned by another window (the desktop does not count), not a
// tool window. Empty titles are listed too.
bool IsListedWindow(const TopWindow& window);
std::vector<WindowRow> EnumerateWindowRows(WindowSystem& windows);

// A listed window as one pass over the desktop saw it, with the executable
// of its process (none: it could not be read).
struct SeenWindow {
  WindowId id = 0;
  std::string title;
  std::optional<std::string> program;
};
// The desktop's listed windows, in z-order, read once a refresh: every scan
// of that refresh (programs, the browsers' titles, the files that titles
// name) reads this list instead of asking the system again.
struct WindowPass {
  std::vector<SeenWindow> windows;
  // False when a failure ended the pass; `windows` holds what came before.
  bool complete = true;
};
WindowPass TakeWindowPass(WindowSystem& windows) noexcept;

struct ScanResult {
  std::vector<FoundDoc> found;
  // False when a failure ended the scan; `found` holds what came before it.
  bool complete = true;
};

// Programs (executable path, trimmed title, shown by that program) of the
// listed windows whose program file exists, except windows titled with (a
// part of) their own path and those of "TTRAVELER.EXE"; the Chinese
// special-place titles always pass. Control characters of a title are blanks.
// `windows` answers whether a program's file exists.
ScanResult ScanAppWindows(const WindowPass& pass, WindowSystem& windows);
// The same over a pass of its own.
ScanResult ScanAppWindows(WindowSystem& windows);

// Folders (the "file:///" address twice, shown by Explorer) of Explorer
// windows on folders, pages (address, page title, shown by the shell's
// browser) of the others; items without an address or document are skipped.
ScanResult ScanShellWindows(ShellWindows& shell);

// Appends the trimmed text unless an equal line is already there.
void AddLastRun(std::vector<std::string>& last_run, std::string_view text);

// Refills `last_run` with the executables of the listed windows (not the
// browsers, Explorer or "QQ.EXE", unless the title is one of the current
// language's special places in `texts`), then the addresses of the shell
// windows, stepping the progress once per address. Each goes in only as
// `admit` lets it (the recording gate; unset: all). Never throws.
void CollectOpenDocs(std::vector<std::string>& last_run, WindowSystem& windows, ShellWindows& shell,
                     const lang::InterfaceTexts& texts, const std::function<void()>& step_progress,
                     const std::function<bool(FoundDoc&)>& admit = {}) noexcept;

}  // namespace zd
