// The interface texts of the three languages. Simplified-Chinese captions are
// the form's design captions, so the default language leaves the form as drawn.
#include "lang/text_tables.h"

namespace zd::lang::detail {
namespace {

using T = InterfaceTexts;

// Texts used by operations. The special-place names are compared with window
// titles, so the traditional column uses the names a traditional-Chinese
// Windows gives those windows.
constexpr OwnRow kOwn[] = {
    {&T::ProductText, {"MRXZapdock", "MRXZapdock", "MRX Zapdock"}},
    {&T::MyComputer, {"我的电脑", "我的電腦", "My Computer"}},
    {&T::NetworkPlaces, {"网上邻居", "網路上的芳鄰", "Network Places"}},
    {&T::ControlPanel, {"控制面板", "控制台", "Control Panel"}},
    {&T::Performance, {"性能和维护", "效能及維護", "Performance and Maintenance"}},
    {&T::Desktop, {"桌面", "桌面", "desktop"}},
    {&T::MyDocuments, {"我的文档", "我的文件", "My Documents"}},
    {&T::TipsCaption, {"提示", "提示", "tips"}},
    {&T::IntervalFormat, {"每%d秒刷新一次", "每%d秒重新整理一次", "refresh once every %d seconds"}},
    {&T::FavHintPath, {"所在路径『", "所在路徑『", "Current Path『"}},
    {&T::FavHintName, {"』 文档名称『", "』 文件名稱『", " 』『 document name"}},
    {&T::PCStartCaption, {"开机启动", "開機啟動", "boot to start"}},
    {&T::PCStartColName, {"名称", "名稱", "Name"}},
    {&T::PCStartColPath, {"所在路径", "所在路徑", "where the path"}},
    {&T::PCStartNameLabel, {"启动名称", "啟動名稱", "start the name"}},
    {&T::PCStartPathLabel, {"所在路径", "所在路徑", "where the path"}},
    {&T::PCStartEmptyName,
     {"请输入一个启动名称", "請輸入一個啟動名稱", "Please enter a start the name"}},
    {&T::PCStartEmptyPath,
     {"请输入一个启动路径", "請輸入一個啟動路徑", "Please enter a start path"}},
    {&T::ConfigNotWritable,
     {"无法创建或写入配置文件夹：\n%s\n\n本次运行的所有更改都不会被保存。",
      "無法建立或寫入設定資料夾：\n%s\n\n本次執行的所有變更都不會被儲存。",
      "The configuration folder cannot be created or written:\n%s\n\n"
      "Nothing will be saved during this run."}},
    {&T::FolderGoneFormat,
     {"本机已不存在此路径:%s", "本機已不存在此路徑:%s",
      "This path no longer exists on this computer:%s"}},
    {&T::FolderNodeGone, {"此文件夹已不存在", "此資料夾已不存在", "This folder no longer exists"}},
    {&T::BareAddressFormat, {"http://%s", "http://%s", "http://%s"}},
    {&T::DeleteAllQuestion,
     {"确认要全部删除吗？", "確認要全部刪除嗎？", "Delete the whole history?"}},
    {&T::NoHtmlEngine,
     {"本机没有可用的网页引擎，网页搜索将在默认浏览器中打开。",
      "本機沒有可用的網頁引擎，網頁搜尋將在預設瀏覽器中開啟。",
      "This computer has no HTML engine: web searches open in the default browser."}},
};

// Captions in copy order: the window's controls, then the tray menu.
constexpr CaptionRow kCaptions[] = {
    {"CbFavEdit", {"显示收藏夹编辑栏", "顯示收藏夾編輯欄", "Display Edit Favorites bar"}},
    {"GbZDFavEdit", {"收藏夹编辑", "收藏夾編輯", "Edit Favorites"}},
    {"LblZDFavName", {"名称", "名稱", "Name"}},
    {"LblZDFavPath", {"路径", "路徑", "Path"}},
    {"GbZDFavList", {"收藏夹", "收藏夾", "Favorites"}},
    {"CbZDOnTop", {"窗体总在最上方", "視窗總在最上方", "Form always on top"}},
    {"MnZDAutoRun", {"开机时启动", "開機時自動啟動", "start automatically when you start"}},
    {"GBZDNavSet", {"导航已打开文档", "導覽已開啟的文件", "Navigation"}},
    {"CbZDRefresh", {"刷新", "重新整理", "Refresh"}},
    {"LbZDCheckTime", {"每15秒刷新一次", "每15秒重新整理一次", "refresh every 15 seconds"}},
    {"GbZDAutoRundDoc", {"设置启动文档", "設定啟動文件", "start document settings"}},
    {"CbQueryAutoRunDoc",
     {"自动启动文档时询问", "自動啟動文件時詢問", "start automatically when the document asked"}},
    {"CbAutoRunDocs",
     {"自动启动历史文档", "自動啟動歷史文件", "auto-start history of the document"}},
    {"RgAutorOpenType", {"启动后自动打开", "啟動後自動開啟", "starts automatically open"}},
    {"RgAutorOpenType.0", {"上一次所有文档", "上一次所有文件", "The last time all the documents"}},
    {"RgAutorOpenType.1", {"收藏中的文档", "收藏中的文件", "collection of documents"}},
    {"RgAutorOpenType.2", {"所有历史文档", "所有歷史文件", "all the historical documents"}},
    {"MyMyLove", {"加入到『收藏』中", "加入到『收藏』中", "Add to Favorites :"}},
    {"MnAddToRunList", {"加入到『启动』中", "加入到『啟動』中", "added to『Start』"}},
    {"MnExpandAll", {"展开全部(&E)", "展開全部(&E)", "Expand All (&E)"}},
    {"MnOpenDIr", {"打开所在的文件夹", "開啟所在的資料夾", "Open the folder"}},
    {"MnRefresh", {"刷新", "重新整理", "Refresh"}},
    {"MnDeleteAllDocs", {"删除所有(&D)", "刪除所有(&D)", "Delete all (&D)"}},
    {"MnDeleteSelected", {"删除所选(&D)", "刪除所選(&D)", "Delete selected (&D)"}},
    {"MnOpenMyFavDoc", {"打开", "開啟", "Open"}},
    {"MyDeleteFav", {"删除所选", "刪除所選", "Delete Selected"}},
    {"MnZDAddToRun", {"加入到『启动』", "加入到『啟動』", "added to the 『Start』"}},
    {"MnZDDeleteNotExistsDoc",
     {"删除已不存在文档", "刪除已不存在的文件", "Delete document no longer exists"}},
    {"MnNewToFav", {"新增到收藏夹", "新增到收藏夾", "Add to Favorites"}},
    {"MnUpdateFav", {"修改收藏夹", "修改收藏夾", "modify Favorites"}},
    {"MnShowFavEdit", {"显示收藏夹编辑栏", "顯示收藏夾編輯欄", "Display Edit Favorites bar"}},
    // Tray menu.
    {"MnOpenZapdock", {"打开Zapdock(&S)", "開啟Zapdock(&S)", "Open Zapdock (&S)"}},
    {"MnZDWeb", {"网页", "網頁", "page"}},
    {"MnZDDir", {"文件夹", "資料夾", "Folder"}},
    {"MnSoftware", {"软件", "軟體", "Software"}},
    {"MnDayCalify", {"按日期分类", "按日期分類", "by date"}},
    {"MnToday", {"今天", "今天", "today"}},
    {"MnYesday", {"昨天", "昨天", "Yesterday"}},
    {"MnPre3days", {"前三天", "前三天", "before the three days"}},
    {"MnPreWeek", {"前一周", "前一週", "previous week"}},
    {"MnZDAll", {"所有", "所有", "all"}},
    {"PmAutoRun", {"自动启动", "自動啟動", "auto start"}},
    {"MnSystemUse", {"系统常用", "系統常用", "system used"}},
    {"MnMyComputer", {"我的电脑", "我的電腦", "My Computer"}},
    {"MnZDMyDoc", {"我的文档", "我的文件", "My Documents"}},
    {"MnMyDesk", {"我的桌面", "我的桌面", "my desktop"}},
    {"MnZDControl", {"控制面板", "控制台", "Control Panel"}},
    {"MnZDRecycle", {"垃圾回收站", "資源回收筒", "Garbage Recycle Bin"}},
    {"MnZDTask", {"任务管理器", "工作管理員", "Task Manager"}},
    {"MnZDRecent", {"最近使用", "最近使用", "most recently used"}},
    {"MnZDRun", {"启动", "啟動", "start"}},
    {"PmRecent", {"最近使用", "最近使用", "most recently used"}},
    {"PmMyDocs", {"我的收藏", "我的收藏", "My Favorites"}},
    {"MnZDExit", {"退出(&E)", "結束(&E)", "exit (&E)"}},
};

// Texts common to the maker's programs, at fixed rows (the same rows as the
// lines of the "allneed" resource). Rows 12, 39 and 41 are read by name.
constexpr SharedRow kShared[kSharedRows] = {
    {"确定", "OK"},                                              // 0
    {"取消", "Cancel"},                                          // 1
    {"是", "Yes"},                                               // 2
    {"否", "No"},                                                // 3
    {"打开", "Open"},                                            // 4
    {"保存", "Save"},                                            // 5
    {"删除", "Delete"},                                          // 6
    {"关闭", "Close"},                                           // 7
    {"退出", "Exit"},                                            // 8
    {"错误", "Error"},                                           // 9
    {"警告", "Warning"},                                         // 10
    {"帮助", "Help"},                                            // 11
    {"关于", "About"},                                           // 12 about box title
    {"提示", "Tips"},                                            // 13
    {"确认", "Confirm"},                                         // 14
    {"设置", "Settings"},                                        // 15
    {"刷新", "Refresh"},                                         // 16
    {"搜索", "Search"},                                          // 17
    {"添加", "Add"},                                             // 18
    {"编辑", "Edit"},                                            // 19
    {"复制", "Copy"},                                            // 20
    {"粘贴", "Paste"},                                           // 21
    {"剪切", "Cut"},                                             // 22
    {"全选", "Select All"},                                      // 23
    {"浏览...", "Browse..."},                                    // 24
    {"应用", "Apply"},                                           // 25
    {"重试", "Retry"},                                           // 26
    {"上一步", "Back"},                                          // 27
    {"下一步", "Next"},                                          // 28
    {"完成", "Finish"},                                          // 29
    {"版本", "Version"},                                         // 30
    {"检查更新", "Check for updates"},                           // 31
    {"发现新版本：%s", "A new version is available: %s"},        // 32
    {"已经是最新版本", "This is already the latest version"},    // 33
    {"下载", "Download"},                                        // 34
    {"正在下载...", "Downloading..."},                           // 35
    {"下载失败", "Download failed"},                             // 36
    {"无法连接到服务器", "Cannot connect to the server"},        // 37
    {"文件不存在：%s", "File not found: %s"},                    // 38
    {"此路径不存在：%s", "Not exists path ：%s"},                // 39 open of a missing path
    {"确定要删除所选的项目吗？", "Delete the selected items?"},  // 40
    {"要退出系统吗?", "Confirm to exit system?"},                // 41 exit question
    {"操作失败", "The operation failed"},                        // 42
    {"正在加载，请稍候...", "Loading, please wait..."},          // 43
    {"官方网站", "Official website"},                            // 44
};

}  // namespace

std::span<const OwnRow> OwnRows() { return kOwn; }
std::span<const CaptionRow> CaptionRows() { return kCaptions; }
std::span<const SharedRow, kSharedRows> SharedRows() { return kShared; }

}  // namespace zd::lang::detail
