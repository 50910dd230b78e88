// Window facts that need no window: the inner pages and their tabs, the
// window's placement rules, the scroll bar's arithmetic and the start mode.
// Tested natively.
#pragma once

#include <cstdint>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "lang/ui.h"
#include "store/doc.h"

namespace zd {

struct PageInfo {
  Ui page;
  bool tab_visible;
  // The number the settings keep for it ("ControlIndex"): a page added later
  // takes a new number wherever its tab stands, so no stored page shifts.
  int stored;
};

// Pages of the inner page control InnerTabs in page order; their captions
// are the caption table's. A kind's page shows its tree (kKinds).
inline constexpr PageInfo kTVControlPages[] = {
    {Ui::WebSheet, true, 0},     {Ui::ProgramsSheet, true, 1}, {Ui::FoldersSheet, true, 2},
    {Ui::FilesSheet, true, 9},   {Ui::SystemSheet, true, 3},   {Ui::FavouritesSheet, true, 4},
    {Ui::BrowserSheet, true, 5}, {Ui::NotesSheet, false, 6},   {Ui::SettingsSheet, true, 7},
    {Ui::AllSheet, false, 8},
};
inline constexpr int kTVControlPageCount = static_cast<int>(std::size(kTVControlPages));
inline constexpr int kFilesPageIndex = 3;
inline constexpr int kSystemPageIndex = 4;
inline constexpr int kFavouritesPageIndex = 5;
inline constexpr int kWebPageIndex = 6;  // "常用   ", the embedded browser
inline constexpr int kNotePageIndex = 7;
inline constexpr int kSettingsPageIndex = 8;

// The inner tab strip: fixed tabs, one slice each of the "monitorbtn" picture.
inline constexpr int kTabWidth = 84;
inline constexpr int kTabHeight = 26;

// Tab index of a page (hidden pages have none: -1); page index of a tab.
int TabIndexOfPage(int page_index);
int PageIndexOfTab(int tab_index);
// The page a stored number stands for: one the table does not know falls
// back to the first page; a hidden page is shown as it is (its tab stays
// hidden). And the number a page is stored as.
int PageOfStored(int stored);
int StoredOfPage(int page_index);

// The document kind of the tree a page shows, none for a page without one:
// what a refresh of that page looks for.
std::optional<DocKind> TreeKindOfPage(int page_index);
// The page whose tree is the hidden one of all documents: the system page.
bool ShowsAllDocsTree(int page_index);

struct WindowRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const WindowRect&) const = default;
};

// A monitor's work area: the screen without the taskbar.
struct WorkArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Design size and placement, in pixels at 96 DPI; `scale` is DPI / 96.
inline constexpr int kDesignWidth = 1000;
inline constexpr int kDesignHeight = 600;
inline constexpr int kMinimisedTop = -2000;

// Where the window is first shown: right edge 5 px, bottom 45 px from the screen's.
WindowRect InitialWindowRect(int screen_width, int screen_height, double scale = 1.0);
// Right edge 20 px and bottom edge 50 px from the screen's right and bottom edges.
WindowRect BottomRightRect(int screen_width, int screen_height, int width, int height,
                           double scale = 1.0);
// The whole window inside the work area: moved in as little as possible, and
// shrunk to it when it is larger.
WindowRect FitIntoWorkArea(WindowRect rect, const WorkArea& area);

// The scroll bar's notification codes (the Win32 SB_ values).
enum class ScrollCode {
  kLineLeft = 0,
  kLineRight = 1,
  kPageLeft = 2,
  kPageRight = 3,
  kThumbPosition = 4,
  kThumbTrack = 5,
  kLeft = 6,
  kRight = 7,
  kEndScroll = 8,
};
inline constexpr int kScrollPageStep = 10;
// The position a horizontal scroll bar moves to, within its range; -1 for a
// code that moves nothing (kEndScroll, unknown codes).
int ScrollBarPosition(int code, int position, int track_position, int minimum, int maximum);

// The first command-line argument is exactly "uninstall" (case-sensitive).
bool IsUninstallStart(const std::vector<std::string>& args);

// A start that finds a copy of the program already running in this session:
// handed over to its window, or, while that copy is still starting or saving
// at its exit (no window answers), waited for until it has ended.
enum class StartGate { kHandedOver, kGoOn, kGaveUp };
struct PreviousCopy {
  // Asks the running copy's window to show itself; true when it says it will.
  std::function<bool()> hand_over;
  // Waits up to `ms` for the previous copy to end; true once it has.
  std::function<bool(int ms)> wait_for_end;
  // Shows why the start waits; called once, when the wait grows noticeable.
  std::function<void()> show_waiting;
};
inline constexpr int kStartWaitStepMs = 100;
inline constexpr int kStartWaitShownAfterMs = 700;
// A save at exit of the longest history takes seconds; beyond this the
// previous copy is stuck.
inline constexpr int kStartWaitLimitMs = 120000;
StartGate WaitForPreviousCopy(const PreviousCopy& previous);

}  // namespace zd
