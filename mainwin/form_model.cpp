#include "mainwin/form_model.h"

#include <cmath>

#include "tracking/doc_kinds.h"

namespace zd {

int TabIndexOfPage(int page_index) {
  if (page_index < 0 || page_index >= kTVControlPageCount) return -1;
  if (!kTVControlPages[page_index].tab_visible) return -1;
  int tab = 0;
  for (int i = 0; i < page_index; ++i) {
    if (kTVControlPages[i].tab_visible) ++tab;
  }
  return tab;
}

int PageIndexOfTab(int tab_index) {
  int tab = 0;
  for (int i = 0; i < kTVControlPageCount; ++i) {
    if (!kTVControlPages[i].tab_visible) continue;
    if (tab == tab_index) return i;
    ++tab;
  }
  return -1;
}

int32_t TreeKindOfPage(int page_index) {
  switch (CurrentTreePage(page_index)) {
    case TreePage::kDoc:
      return kDocWeb;
    case TreePage::kApp:
      return kDocProgram;
    case TreePage::kPath:
      return kDocFolder;
    default:
      return 0;
  }
}

TreePage CurrentTreePage(int page_index) {
  switch (page_index) {
    case 0:
      return TreePage::kDoc;
    case 1:
      return TreePage::kApp;
    case 2:
      return TreePage::kPath;
    case 3:
      return TreePage::kDocs;
    default:
      return TreePage::kNone;
  }
}

int ClampPageIndex(int page_index) {
  return page_index >= 0 && page_index < kTVControlPageCount ? page_index : 0;
}

static int Scaled(int value, double scale) { return static_cast<int>(std::lround(value * scale)); }

WindowRect InitialWindowRect(int screen_width, int screen_height, double scale) {
  WindowRect r;
  r.width = Scaled(kDesignWidth, scale);
  r.height = Scaled(kDesignHeight, scale);
  r.left = screen_width - Scaled(1005, scale);
  r.top = screen_height - Scaled(645, scale);
  return r;
}

WindowRect BottomRightRect(int screen_width, int screen_height, int width, int height,
                           double scale) {
  WindowRect r;
  r.width = width;
  r.height = height;
  r.left = screen_width - width - Scaled(20, scale);
  r.top = screen_height - height - Scaled(50, scale);
  return r;
}

bool IsUninstallStart(const std::vector<std::string>& args) {
  return !args.empty() && args[0] == "uninstall";
}

namespace {
struct CaptionRow {
  const char* control;
  const char* text[3];
};
// Buttons and page captions shown as text; the design captions are the
// simplified-Chinese column.
constexpr CaptionRow kCaptions[] = {
    {"TabSheet8", {"我的启动", "我的啟動", "My Launcher"}},
    {"tbDemo", {"我的主页", "我的首頁", "My Home"}},
    {"BtnZDSearch", {"搜索", "搜尋", "Search"}},
    {"BtnZDAutoRunSet", {"启动文档设置", "啟動文件設定", "Start documents..."}},
    {"BtnZDDeleteAllDocs", {"删除所有历史", "刪除所有歷史", "Delete history"}},
    {"BtnZDPCStart", {"开机启动管理", "開機啟動管理", "Startup programs"}},
    {"BtnAbout", {"关于", "關於", "About"}},
    {"BtnHelp", {"帮助", "說明", "Help"}},
    {"BtnZDStart", {"自动启动", "自動啟動", "Auto start"}},
    {"BtnFilter", {"过滤", "過濾", "Filter"}},
    {"BtnDocDisplay", {"显示名称映射", "顯示名稱對應", "Display names"}},
    {"GroupBox1", {"最近访问的所有文档树形", "最近存取的所有文件樹狀", "All recent documents"}},
    {"CbAdvSet", {"高级设置", "進階設定", "Advanced settings"}},
    {"Button4", {"定时关机", "定時關機", "Timed shutdown"}},
    {"Button5", {"发送邮件", "傳送郵件", "Send mail"}},
    {"BtnAddToQuickLaunch", {"快速启动", "快速啟動", "Quick launch"}},
    {"Button1", {"Button1", "Button1", "Button1"}},
    {"Button3", {"Button3", "Button3", "Button3"}},
};
}  // namespace

const char* DesignCaption(std::string_view control, int language_index) {
  if (language_index < 0 || language_index > 2) language_index = 0;
  for (const CaptionRow& row : kCaptions) {
    if (control == row.control) return row.text[language_index];
  }
  return nullptr;
}

}  // namespace zd
