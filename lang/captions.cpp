// The one home of the interface's captions and hints, in three languages.
// Simplified-Chinese captions are the window's design captions, so the
// default language leaves the window as drawn.
#include "lang/captions.h"

#include <array>

namespace zd::lang {
namespace {

using enum Ui;

struct Row {
  Ui part;
  // zh-CN, zh-TW, en; nullptr: the design caption (zh-CN) in every language.
  const char* text[3];
  bool copied;  // copied onto its part by ApplyInterfaceTexts, in table order
};

constexpr bool kCopied = true;
constexpr bool kDesign = false;

constexpr Row kRows[] = {
    // Copied by ApplyInterfaceTexts, in this order: the window's controls...
    {CbFavEdit, {"显示收藏夹编辑栏", "顯示收藏夾編輯欄", "Display Edit Favorites bar"}, kCopied},
    {GbZDFavEdit, {"收藏夹编辑", "收藏夾編輯", "Edit Favorites"}, kCopied},
    {LblZDFavName, {"名称", "名稱", "Name"}, kCopied},
    {LblZDFavPath, {"路径", "路徑", "Path"}, kCopied},
    {GbZDFavList, {"收藏夹", "收藏夾", "Favorites"}, kCopied},
    {CbZDOnTop, {"窗体总在最上方", "視窗總在最上方", "Form always on top"}, kCopied},
    {CbAutoStart, {"开机时启动", "開機時自動啟動", "start automatically when you start"}, kCopied},
    {GBZDNavSet, {"导航已打开文档", "導覽已開啟的文件", "Navigation"}, kCopied},
    {CbZDRefresh, {"刷新", "重新整理", "Refresh"}, kCopied},
    {LbZDCheckTime, {"每15秒刷新一次", "每15秒重新整理一次", "refresh every 15 seconds"}, kCopied},
    {GbZDAutoRundDoc, {"设置启动文档", "設定啟動文件", "start document settings"}, kCopied},
    {CbQueryAutoRunDoc,
     {"自动启动文档时询问", "自動啟動文件時詢問", "start automatically when the document asked"},
     kCopied},
    {CbAutoRunDocs,
     {"自动启动历史文档", "自動啟動歷史文件", "auto-start history of the document"},
     kCopied},
    {RgAutorOpenType, {"启动后自动打开", "啟動後自動開啟", "starts automatically open"}, kCopied},
    {RgAutorOpenType0,
     {"上一次所有文档", "上一次所有文件", "The last time all the documents"},
     kCopied},
    {RgAutorOpenType1, {"收藏中的文档", "收藏中的文件", "collection of documents"}, kCopied},
    {RgAutorOpenType2, {"所有历史文档", "所有歷史文件", "all the historical documents"}, kCopied},
    {MyMyLove, {"加入到『收藏』中", "加入到『收藏』中", "Add to Favorites :"}, kCopied},
    {MnAddToRunList, {"加入到『启动』中", "加入到『啟動』中", "added to『Start』"}, kCopied},
    {MnExpandAll, {"展开全部(&E)", "展開全部(&E)", "Expand All (&E)"}, kCopied},
    {MnOpenDIr, {"打开所在的文件夹", "開啟所在的資料夾", "Open the folder"}, kCopied},
    {MnRefresh, {"刷新", "重新整理", "Refresh"}, kCopied},
    {MnDeleteAllDocs, {"删除所有(&D)", "刪除所有(&D)", "Delete all (&D)"}, kCopied},
    {MnDeleteSelected, {"删除所选(&D)", "刪除所選(&D)", "Delete selected (&D)"}, kCopied},
    {MnOpenMyFavDoc, {"打开", "開啟", "Open"}, kCopied},
    {ForgetAndStopRecordingItem,
     {"删除并不再记录", "刪除並不再記錄", "Delete and never record again"},
     kDesign},
    {MyDeleteFav, {"删除所选", "刪除所選", "Delete Selected"}, kCopied},
    {MnZDAddToRun, {"加入到『启动』", "加入到『啟動』", "added to the 『Start』"}, kCopied},
    {MnZDDeleteNotExistsDoc,
     {"删除已不存在文档", "刪除已不存在的文件", "Delete document no longer exists"},
     kCopied},
    {MnNewToFav, {"新增到收藏夹", "新增到收藏夾", "Add to Favorites"}, kCopied},
    {MnUpdateFav, {"修改收藏夹", "修改收藏夾", "modify Favorites"}, kCopied},
    {MnShowFavEdit,
     {"显示收藏夹编辑栏", "顯示收藏夾編輯欄", "Display Edit Favorites bar"},
     kCopied},
    // ...then the tray menu.
    {MnOpenZapdock, {"打开Zapdock(&S)", "開啟Zapdock(&S)", "Open Zapdock (&S)"}, kCopied},
    {MnZDWeb, {"网页", "網頁", "page"}, kCopied},
    {MnZDDir, {"文件夹", "資料夾", "Folder"}, kCopied},
    {MnSoftware, {"软件", "軟體", "Software"}, kCopied},
    {MnDayCalify, {"按日期分类", "按日期分類", "by date"}, kCopied},
    {MnToday, {"今天", "今天", "today"}, kCopied},
    {MnYesday, {"昨天", "昨天", "Yesterday"}, kCopied},
    {MnPre3days, {"前三天", "前三天", "before the three days"}, kCopied},
    {MnPreWeek, {"前一周", "前一週", "previous week"}, kCopied},
    {MnZDAll, {"所有", "所有", "all"}, kCopied},
    {PmAutoRun, {"自动启动", "自動啟動", "auto start"}, kCopied},
    {MnSystemUse, {"系统常用", "系統常用", "system used"}, kCopied},
    {MnMyComputer, {"我的电脑", "我的電腦", "My Computer"}, kCopied},
    {MnZDMyDoc, {"我的文档", "我的文件", "My Documents"}, kCopied},
    {MnMyDesk, {"我的桌面", "我的桌面", "my desktop"}, kCopied},
    {MnZDControl, {"控制面板", "控制台", "Control Panel"}, kCopied},
    {MnZDRecycle, {"垃圾回收站", "資源回收筒", "Garbage Recycle Bin"}, kCopied},
    {MnZDTask, {"任务管理器", "工作管理員", "Task Manager"}, kCopied},
    {MnZDRecent, {"最近使用", "最近使用", "most recently used"}, kCopied},
    {MnZDRun, {"启动", "啟動", "start"}, kCopied},
    {PmRecent, {"最近使用", "最近使用", "most recently used"}, kCopied},
    {PmMyDocs, {"我的收藏", "我的收藏", "My Favorites"}, kCopied},
    {MnPauseRecording, {"暂停记录", "暫停記錄", "Pause recording"}, kCopied},
    {MnZDExit, {"退出(&E)", "結束(&E)", "exit (&E)"}, kCopied},

    // Captions the copy leaves alone: pages and buttons shown as text.
    {LauncherSheet, {"我的启动", "我的啟動", "My Launcher"}, kDesign},
    {tbDemo, {"我的主页", "我的首頁", "My Home"}, kDesign},
    // The inner tabs keep their design captions; the strip picture shows the
    // language's captions over them.
    {WebSheet, {"网页", nullptr, nullptr}, kDesign},
    {ProgramsSheet, {"软件启", nullptr, nullptr}, kDesign},
    {FoldersSheet, {"文件夹  ", nullptr, nullptr}, kDesign},
    {FilesSheet, {"文件   ", nullptr, nullptr}, kDesign},
    {SystemSheet, {"系统   ", nullptr, nullptr}, kDesign},
    {FavouritesSheet, {"收藏   ", nullptr, nullptr}, kDesign},
    {BrowserSheet, {"常用   ", nullptr, nullptr}, kDesign},
    {NotesSheet, {"笔记   ", nullptr, nullptr}, kDesign},
    {SettingsSheet, {"设置  ", nullptr, nullptr}, kDesign},
    {AllSheet, {"全部   ", nullptr, nullptr}, kDesign},
    {BtnZDSearch, {"搜索", "搜尋", "Search"}, kDesign},
    {BtnZDAutoRunSet, {"启动文档设置", "啟動文件設定", "Start documents..."}, kDesign},
    {BtnZDDeleteAllDocs, {"删除所有历史", "刪除所有歷史", "Delete history"}, kDesign},
    {BtnZDPCStart, {"开机启动管理", "開機啟動管理", "Startup programs"}, kDesign},
    {BtnAbout, {"关于", "關於", "About"}, kDesign},
    {BtnHelp, {"帮助", "說明", "Help"}, kDesign},
    {BtnZDStart, {"自动启动", "自動啟動", "Auto start"}, kDesign},
    {BtnFilter, {"过滤", "過濾", "Filter"}, kDesign},
    // The privacy part of the settings page.
    {GbZDPrivacy, {"隐私", "隱私", "Privacy"}, kDesign},
    {LbPrivacyRules, {"隐私规则", "隱私規則", "Privacy rules"}, kDesign},
    {EdtRulePattern, {"规则内容", "規則內容", "Pattern"}, kDesign},
    {CmbRuleField, {"匹配对象", "比對對象", "Match on"}, kDesign},
    {CmbRuleAction, {"处理方式", "處理方式", "Action"}, kDesign},
    {CbRuleRegex, {"正则表达式", "規則運算式", "Regular expression"}, kDesign},
    {BtnAddRule, {"添加规则", "新增規則", "Add rule"}, kDesign},
    {BtnDeleteRule, {"删除规则", "刪除規則", "Delete rule"}, kDesign},
    {BtnDocDisplay, {"显示名称映射", "顯示名稱對應", "Display names"}, kDesign},
    {AllDocsGroup,
     {"最近访问的所有文档树形", "最近存取的所有文件樹狀", "All recent documents"},
     kDesign},
    {CbAdvSet, {"高级设置", "進階設定", "Advanced settings"}, kDesign},
    {BtnTimedShutdown, {"定时关机", "定時關機", "Timed shutdown"}, kDesign},
    {BtnSendMail, {"发送邮件", "傳送郵件", "Send mail"}, kDesign},
    {BtnAddToQuickLaunch, {"快速启动", "快速啟動", "Quick launch"}, kDesign},
    // The launcher's settings and the last session.
    {GbZDLauncher, {"搜索与快捷键", "搜尋與快速鍵", "Search and hotkey"}, kDesign},
    {CbRankSearch,
     {"搜索结果按使用频率排序", "搜尋結果依使用頻率排序", "Rank search results by use"},
     kDesign},
    {LbHotkey, {"呼出快捷键：", "呼叫快速鍵：", "Hotkey:"}, kDesign},
    {CmbHotkey, {"快捷键", "快速鍵", "Hotkey"}, kDesign},
    {BtnRestoreLastSession,
     {"恢复上次打开的文档", "恢復上次開啟的文件", "Reopen the last session"},
     kDesign},
    {MnRestoreLastSession,
     {"恢复上次打开的文档", "恢復上次開啟的文件", "Reopen the last session"},
     kDesign},
    // Picture buttons: the picture shows the label, the caption names the
    // button for screen readers and other programs.
    {MyComputerButton, {"我的电脑", "我的電腦", "My Computer"}, kDesign},
    {MyDocumentsButton, {"我的文档", "我的文件", "My Documents"}, kDesign},
    {BtnZDAddToFav, {"添加到收藏夹", "新增到收藏夾", "Add to Favorites"}, kDesign},
    {BtnZDUpdateFav, {"修改收藏夹", "修改收藏夾", "Change the favourite"}, kDesign},
    {BtnUnusedA, {"BtnUnusedA", nullptr, nullptr}, kDesign},
    {BtnUnusedB, {"BtnUnusedB", nullptr, nullptr}, kDesign},
    // The document selection window keeps its own texts.
    {LblSelectDocHint,
     {"请选择一个或多个(按下『Ctrl』或『Shift』，鼠标选择)你希望打开的历史文档，单击按钮『确定』，"
      "软件将自动打开这些文档。 ",
      nullptr, nullptr},
     kDesign},
    {CbNotQuery, {"不再跳出此提示框", nullptr, nullptr}, kDesign},
    {CbSelectAll, {"选择所有", nullptr, nullptr}, kDesign},
    {BtnConfirm, {"确定", nullptr, nullptr}, kDesign},
    {BtnCancel, {"取消", nullptr, nullptr}, kDesign},
    {LblResetHint, {"可以在『设置』中重新设置启动时跳出此提示框。", nullptr, nullptr}, kDesign},
    // The last session's question.
    {LbSessionDocs,
     {"上次打开的文档", "上次開啟的文件", "Documents open at the last close"},
     kDesign},
    {BtnOpenSession, {"打开", "開啟", "Open"}, kDesign},
    {BtnCancelSession, {"取消", "取消", "Cancel"}, kDesign},
    // Menu entries the copy leaves alone.
    {StopProgramItem, {"停止运行的软件", nullptr, nullptr}, kDesign},
    {CollapseAllItem, {"折叠全部", nullptr, nullptr}, kDesign},
    {AddToFavouritesItem, {"加入到『收藏夹』", nullptr, nullptr}, kDesign},
    {DeleteFromRunItem, {"删除启动", nullptr, nullptr}, kDesign},
    {OpenDirectlyItem, {"直接打开", nullptr, nullptr}, kDesign},
    {MnOpenDirInAutoRUn, {"打开所在文件夹", nullptr, nullptr}, kDesign},
    {CurrentUserMenu, {"当前用户", nullptr, nullptr}, kDesign},
    {PmDesktopPath, {"桌面文件夹", nullptr, nullptr}, kDesign},
    {CookiesItem, {"Cookies", nullptr, nullptr}, kDesign},
    {FontsItem, {"系统字体", nullptr, nullptr}, kDesign},
    {DrivesItem, {"驱动", nullptr, nullptr}, kDesign},
    {CacheItem, {"缓存", nullptr, nullptr}, kDesign},
    {NetworkConnectionsItem, {"网络连接", nullptr, nullptr}, kDesign},
    {PrintersItem, {"打印机", nullptr, nullptr}, kDesign},
    {NetworkPrintersItem, {"网络打印机", nullptr, nullptr}, kDesign},
    {ProgramFilesItem, {"程序文件所在文件夹", nullptr, nullptr}, kDesign},
    {ProgramMenuItem, {"程序菜单文件夹", nullptr, nullptr}, kDesign},
    {SendToFolderItem, {"发送到文件夹", nullptr, nullptr}, kDesign},
    {StartMenuItem, {"开始菜单", nullptr, nullptr}, kDesign},
    {DrivesAgainItem, {"驱动", nullptr, nullptr}, kDesign},
    {WindowsFolderItem, {"Windows文件夹", nullptr, nullptr}, kDesign},
    {SendToItem, {"发送给", nullptr, nullptr}, kDesign},
    {AllUsersMenu, {"所有用户", nullptr, nullptr}, kDesign},
    {AllUsersDocumentsItem, {"我的文档", nullptr, nullptr}, kDesign},
    {AllUsersDesktopItem, {"桌面", nullptr, nullptr}, kDesign},
    {AllUsersFavouritesItem, {"我的收藏夹", nullptr, nullptr}, kDesign},
    {AllUsersProgramsItem, {"程序", nullptr, nullptr}, kDesign},
    {AllUsersStartMenuItem, {"开始菜单", nullptr, nullptr}, kDesign},
    {AllUsersStartupItem, {"启动", nullptr, nullptr}, kDesign},
    {ModulesItem, {"模块", nullptr, nullptr}, kDesign},
};

struct HintRow {
  Ui part;
  const char* text[3];
};

// Hover hints (and the search box's cue), shown as tooltips.
constexpr HintRow kHints[] = {
    {EdtSearch, {"请输入你要查找的关键字", "請輸入你要尋找的關鍵字", "Enter a keyword to find"}},
    {LbMyLove, {"鼠标右键有更多功能", "滑鼠右鍵有更多功能", "Right-click for more"}},
    {TVDoc, {"鼠标右键有更多功能", "滑鼠右鍵有更多功能", "Right-click for more"}},
    {TVApp, {"鼠标右键有更多功能", "滑鼠右鍵有更多功能", "Right-click for more"}},
    {TVPath, {"鼠标右键有更多功能", "滑鼠右鍵有更多功能", "Right-click for more"}},
    {TVFile, {"鼠标右键有更多功能", "滑鼠右鍵有更多功能", "Right-click for more"}},
    {TVDocs, {"鼠标右键有更多功能", "滑鼠右鍵有更多功能", "Right-click for more"}},
    {BtnZDAutoRunSet, {"启动文档设置", "啟動文件設定", "Start documents"}},
    {BtnHelp, {"帮助文档", "說明文件", "Help"}},
    {CbRankSearch,
     {"最近常选的结果排在前面；Ctrl+P 把所选结果固定在这个关键字的最前面",
      "最近常選的結果排在前面；Ctrl+P 把所選結果固定在這個關鍵字的最前面",
      "Results you picked lately come first; Ctrl+P pins the selected result to the keyword"}},
    {CmbHotkey,
     {"在任何地方按下它，显示窗口并进入搜索框", "在任何地方按下它，顯示視窗並進入搜尋框",
      "Shows the window with the search box, from anywhere"}},
    {DesktopButton, {"我的桌面", "我的桌面", "My desktop"}},
    {RecycleBinButton, {"垃圾回收站", "資源回收筒", "Recycle Bin"}},
    {ControlPanelButton, {"控制面板", "控制台", "Control Panel"}},
    {HistoryButton, {"历史记录", "歷史記錄", "History"}},
    {FavouritesFolderButton, {"收藏夹", "我的最愛", "Favorites"}},
    {NetworkButton, {"网上邻居", "網路上的芳鄰", "Network Places"}},
    {BtmManageTask, {"任务管理器", "工作管理員", "Task Manager"}},
    {StartMenuButton, {"开始菜单", "開始功能表", "Start menu"}},
    {ProgramsButton, {"程序", "程式集", "Programs"}},
    {DesktopFolderButton, {"桌面路径", "桌面路徑", "Desktop folder"}},
    {StartupFolderButton, {"启动", "啟動", "Startup"}},
    {SystemFolderButton, {"Windows系统路径", "Windows系統路徑", "Windows system folder"}},
    {BtnMoreSpecDir, {"更多...", "更多...", "More..."}},
    {BtnZDPCRun, {"试运行", "試執行", "Try it"}},
    {BtnZDAddPCStart, {"添加或修改", "新增或修改", "Add or change"}},
    {BtnZDDeletePCStart, {"删除所选", "刪除所選", "Delete selected"}},
    {BtnZDClearPCStart, {"清空", "清除", "Clear"}},
    {BtnClose, {"关闭", "關閉", "Close"}},
};

int Column(int language_index) {
  return language_index == 1 || language_index == 2 ? language_index : 0;
}

// Row of each part, or -1; built once from the tables above.
template <typename Table>
std::array<int, kUiCount> IndexOf(const Table& table) {
  std::array<int, kUiCount> index;
  index.fill(-1);
  for (int i = 0; i < static_cast<int>(std::size(table)); ++i)
    index[static_cast<size_t>(table[i].part)] = i;
  return index;
}

const std::array<int, kUiCount>& RowIndex() {
  static const std::array<int, kUiCount> index = IndexOf(kRows);
  return index;
}

const std::array<int, kUiCount>& HintIndex() {
  static const std::array<int, kUiCount> index = IndexOf(kHints);
  return index;
}

}  // namespace

std::string_view CaptionOf(Ui part, int language_index) {
  const int row = RowIndex()[static_cast<size_t>(part)];
  if (row < 0) return {};
  const Row& r = kRows[row];
  const char* text = r.text[Column(language_index)];
  return text ? text : r.text[0];
}

std::string_view HintOf(Ui part, int language_index) {
  const int row = HintIndex()[static_cast<size_t>(part)];
  return row < 0 ? std::string_view() : kHints[row].text[Column(language_index)];
}

std::vector<Ui> CopiedCaptionParts() {
  std::vector<Ui> parts;
  for (const Row& row : kRows)
    if (row.copied) parts.push_back(row.part);
  return parts;
}

}  // namespace zd::lang
