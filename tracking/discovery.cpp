#include "tracking/discovery.h"

#include <array>
#include <optional>

#include "platform/errors.h"
#include "store/doc.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

// Programs recorded through their pages and folders rather than as programs.
constexpr std::array<std::string_view, 4> kSnapshotSkippedPrograms = {
    "IEXPLORE.EXE", "TTRAVELER.EXE", "EXPLORER.EXE", "QQ.EXE"};

// The executable behind a row, when it names an existing file or folder.
std::optional<std::string> ExistingProgramOf(WindowSystem& windows, const WindowRow& row) {
  if (row.id == 0) return std::nullopt;
  std::optional<std::string> path = windows.ProcessImagePath(row.id);
  if (!path || path->empty() || !windows.PathExists(*path)) return std::nullopt;
  return path;
}

bool IsCurrentSpecialPlace(const lang::InterfaceTexts& texts, const std::string& trimmed_title) {
  for (const std::string* place : {&texts.MyComputer, &texts.NetworkPlaces, &texts.ControlPanel,
                                   &texts.Performance, &texts.Desktop}) {
    // An unfilled table must not turn every untitled window into a special place.
    if (!place->empty() && *place == trimmed_title) return true;
  }
  return false;
}

// Each source of open windows on its own: a system query that fails ends
// that source's scan with the lines found so far and costs no other source.
// False when the scan ended early.
template <typename Scan>
bool ScanOnItsOwn(const char* where, const Scan& scan) {
  try {
    scan();
    return true;
  }
  ZD_CATCH_LOG(where)
  return false;
}

}  // namespace

bool IsListedWindow(const TopWindow& window) {
  return window.visible && !window.owned && !window.tool_window;
}

std::vector<WindowRow> EnumerateWindowRows(WindowSystem& windows) {
  std::vector<WindowRow> rows;
  for (TopWindow& window : windows.EnumerateTopWindows()) {
    if (IsListedWindow(window)) rows.push_back(WindowRow{window.id, std::move(window.title)});
  }
  return rows;
}

WindowPass TakeWindowPass(WindowSystem& windows) noexcept {
  WindowPass pass;
  pass.complete = ScanOnItsOwn(__func__, [&] {
    for (WindowRow& row : EnumerateWindowRows(windows)) {
      std::optional<std::string> program =
          row.id == 0 ? std::nullopt : windows.ProcessImagePath(row.id);
      pass.windows.push_back(SeenWindow{row.id, std::move(row.title), std::move(program)});
    }
  });
  return pass;
}

ScanResult ScanAppWindows(WindowSystem& windows) {
  return ScanAppWindows(TakeWindowPass(windows), windows);
}

ScanResult ScanAppWindows(const WindowPass& pass, WindowSystem& windows) {
  ScanResult result;
  // A pass cut short still lists the windows before the failure.
  result.complete =
      ScanOnItsOwn(__func__,
                   [&] {
                     for (const SeenWindow& window : pass.windows) {
                       const std::optional<std::string>& path = window.program;
                       if (!path || path->empty() || !windows.PathExists(*path)) continue;
                       const std::string title = Trim(window.title);
                       if (!IsScanSpecialPlaceTitle(title)) {
                         // An empty title occurs in every path, so untitled windows go here too.
                         const std::string upper_path = UpperAscii(Trim(*path));
                         if (Contains(upper_path, UpperAscii(title)) ||
                             Contains(upper_path, "TTRAVELER.EXE")) {
                           continue;
                         }
                       }
                       const std::string program = BlankControlChars(*path);
                       result.found.push_back(
                           FoundDoc{program, BlankControlChars(title), program, DocKind::kProgram});
                     }
                   }) &&
      pass.complete;
  return result;
}

ScanResult ScanShellWindows(ShellWindows& shell) {
  ScanResult result;
  const bool whole = ScanOnItsOwn(__func__, [&] {
    ShellWindowScan scan = shell.Scan();
    result.complete = scan.complete;
    for (const ShellWindowItem& item : scan.items) {
      if (item.location_url.empty() || !item.has_document) continue;
      const std::string address = BlankControlChars(Trim(item.location_url));
      if (IsFileAddress(address)) {
        result.found.push_back(FoundDoc{address, address, "explorer.exe", DocKind::kFolder});
      } else {
        // An untitled page is listed all the same; the registration drops it.
        result.found.push_back(
            FoundDoc{address, BlankControlChars(item.title), "iexplore.exe", DocKind::kWeb});
      }
    }
  });
  result.complete = result.complete && whole;
  return result;
}

void AddLastRun(std::vector<std::string>& last_run, std::string_view text) {
  std::string line = Trim(text);
  for (const std::string& known : last_run) {
    if (Trim(known) == line) return;
  }
  last_run.push_back(std::move(line));
}

void CollectOpenDocs(std::vector<std::string>& last_run, WindowSystem& windows, ShellWindows& shell,
                     const lang::InterfaceTexts& texts, const std::function<void()>& step_progress,
                     const std::function<bool(FoundDoc&)>& admit) noexcept {
  last_run.clear();
  const auto add = [&](FoundDoc found) {
    if (!admit || admit(found)) AddLastRun(last_run, found.address);
  };
  ScanOnItsOwn(__func__, [&] {
    for (const WindowRow& row : EnumerateWindowRows(windows)) {
      const std::optional<std::string> path = ExistingProgramOf(windows, row);
      if (!path) continue;
      if (!IsCurrentSpecialPlace(texts, Trim(row.title))) {
        const std::string upper_path = UpperAscii(*path);
        bool skipped = false;
        for (std::string_view program : kSnapshotSkippedPrograms) {
          skipped = skipped || Contains(upper_path, program);
        }
        if (skipped) continue;
      }
      add(FoundDoc{*path, row.title, *path, DocKind::kProgram});
    }
  });
  ScanOnItsOwn(__func__, [&] {
    const ShellWindowScan scan = shell.Scan();
    for (const ShellWindowItem& item : scan.items) {
      if (item.location_url.empty() || !item.has_document) continue;
      const bool folder = IsFileAddress(Trim(item.location_url));
      add(FoundDoc{item.location_url, folder ? item.location_url : item.title,
                   folder ? "explorer.exe" : "iexplore.exe",
                   folder ? DocKind::kFolder : DocKind::kWeb});
      if (step_progress) step_progress();
    }
  });
}

}  // namespace zd
