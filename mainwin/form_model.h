// Window facts that need no window: the inner pages and their tabs, the
// window's placement rules and the start mode. Tested natively.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zd {

struct PageInfo {
  const char* name;     // the page's control name
  const char* caption;  // design caption, trailing blanks kept
  bool tab_visible;
};

// Pages of the inner page control TVControl in page order.
inline constexpr PageInfo kTVControlPages[] = {
    {"TabSheet7", "网页", true},      {"TabSheet9", "软件启", true},
    {"TabSheet10", "文件夹  ", true}, {"TabSheet4", "系统   ", true},
    {"TabSheet5", "收藏   ", true},   {"TabSheet2", "常用   ", true},
    {"TabSheet3", "笔记   ", false},  {"TabSheet6", "设置  ", true},
    {"TabSheet1", "全部   ", false},
};
inline constexpr int kTVControlPageCount = 9;
inline constexpr int kWebPageIndex = 5;  // "常用   ", the embedded browser

// The document kind of the tree a page shows (0 web pages, 1 programs,
// 2 folders), 0 for a page without one: what a refresh of that page looks for.
int32_t TreeKindOfPage(int page_index);

// The tree shown on a page (3, the system page, names the hidden all-documents tree).
enum class TreePage { kNone, kDoc, kApp, kPath, kDocs };
TreePage CurrentTreePage(int page_index);

// Tab index of a page (hidden pages have none: -1); page index of a tab.
int TabIndexOfPage(int page_index);
int PageIndexOfTab(int tab_index);
// A stored page index outside 0..8 falls back to the first page; a hidden
// page is shown as it is (its tab stays hidden).
int ClampPageIndex(int page_index);

struct WindowRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const WindowRect&) const = default;
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

// The first command-line argument is exactly "uninstall" (case-sensitive).
bool IsUninstallStart(const std::vector<std::string>& args);

// Captions of controls that the language tables do not carry, by language
// (0 zh-CN design caption, 1 zh-TW, 2 en); nullptr for an unknown control.
const char* DesignCaption(std::string_view control, int language_index);

}  // namespace zd
