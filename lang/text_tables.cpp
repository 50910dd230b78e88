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
    {&T::PCStartHeader,
     {"开机启动的所有程序：", "開機啟動的所有程式：", "Programs started at log-on:"}},
    {&T::PCStartColSource, {"位置", "位置", "Key"}},
    {&T::PCStartColState, {"状态", "狀態", "State"}},
    {&T::PCStartSourceMachine, {"所有用户", "所有使用者", "All users"}},
    {&T::PCStartSourceMachine32, {"所有用户 (32位)", "所有使用者 (32位元)", "All users (32-bit)"}},
    {&T::PCStartSourceUser, {"当前用户", "目前使用者", "Current user"}},
    {&T::PCStartDisabled, {"已禁用", "已停用", "Disabled"}},
    {&T::PCStartNoSelection,
     {"No item selected for deletion!!!", "No item selected for deletion!!!",
      "No item selected for deletion!!!"}},
    {&T::PCStartWriteFailed,
     {"无法写入启动项：没有修改注册表中启动程序的权限。",
      "無法寫入啟動項：沒有修改登錄中啟動程式的權限。",
      "The entry could not be written: no permission to change the log-on programs."}},
    {&T::PCStartDeleteFailed,
     {"无法删除此启动项：没有修改它所在注册表项的权限。",
      "無法刪除此啟動項：沒有修改它所在登錄機碼的權限。",
      "The entry could not be deleted: no permission to change the key it is in."}},
    {&T::PCStartUnreadable, {"无法读取：%s", "無法讀取：%s", "Could not be read: %s"}},
    {&T::PCStartOtherType,
     {"此启动项不是字符串值，只能查看，不能修改。", "此啟動項不是字串值，只能檢視，不能修改。",
      "This entry is not a string value: it can be viewed, not changed."}},
    {&T::PCStartDeleteQuestion,
     {"确定要删除启动项『%s』吗？", "確定要刪除啟動項『%s』嗎？",
      "Delete the log-on entry 『%s』?"}},
    {&T::AutoStartFailed,
     {"无法设置开机时启动：没有写入注册表启动项的权限。",
      "無法設定開機時啟動：沒有寫入登錄啟動項的權限。",
      "Starting at log-on could not be set: no permission to write the log-on entry."}},
    {&T::AutoRunQuestion,
     {"要打开以下设置为自动启动的文档吗？\n\n%s", "要開啟以下設定為自動啟動的文件嗎？\n\n%s",
      "Open these documents chosen for automatic start?\n\n%s"}},
    {&T::AutoRunMore, {"……以及其他%d个文档", "……以及其他%d個文件", "... and %d more"}},
    {&T::ConfigNotWritable,
     {"无法创建或写入配置文件夹：\n%s\n\n本次运行的所有更改都不会被保存。",
      "無法建立或寫入設定資料夾：\n%s\n\n本次執行的所有變更都不會被儲存。",
      "The configuration folder cannot be created or written:\n%s\n\n"
      "Nothing will be saved during this run."}},
    {&T::FilesNotRead,
     {"以下文件存在，但无法读取：\n%s\n\n本次运行中对它们的更改都不会被保存。",
      "以下檔案存在，但無法讀取：\n%s\n\n本次執行中對它們的變更都不會被儲存。",
      "These files exist but cannot be read:\n%s\n\n"
      "Changes to them will not be saved during this run."}},
    {&T::FilesNotSaved,
     {"以下文件无法保存（可能正被其他程序使用），仍保留原来的内容：\n%s",
      "以下檔案無法儲存（可能正被其他程式使用），仍保留原來的內容：\n%s",
      "These files could not be saved (another program may be using them); "
      "they keep their previous content:\n%s"}},
    {&T::FilesRecovered,
     {"上次保存以下文件时被中断，已从保存完整的副本恢复：\n%s",
      "上次儲存以下檔案時被中斷，已從儲存完整的副本還原：\n%s",
      "Saving these files was cut short last time; they were restored from the complete copy "
      "that the save had written:\n%s"}},
    {&T::FilesSetAside,
     {"以下文件是另一个帐户放入配置文件夹的，未被读取，已改名保留：\n%s",
      "以下檔案是另一個帳戶放入設定資料夾的，未被讀取，已改名保留：\n%s",
      "Another account had put these files into the configuration folder; they were not read "
      "and have been renamed:\n%s"}},
    {&T::FolderOfYourOwn,
     {"原配置文件夹属于另一个帐户，历史记录现保存在您自己的新文件夹中（因此为空）：%s",
      "原設定資料夾屬於另一個帳戶，歷史記錄現儲存在您自己的新資料夾中（因此為空）：%s",
      "The usual configuration folder belongs to another account, so your history starts empty "
      "in a new folder of your own: %s"}},
    {&T::FolderGoneFormat,
     {"本机已不存在此路径:%s", "本機已不存在此路徑:%s",
      "This path no longer exists on this computer:%s"}},
    {&T::FolderNodeGone, {"此文件夹已不存在", "此資料夾已不存在", "This folder no longer exists"}},
    {&T::BareAddressFormat, {"http://%s", "http://%s", "http://%s"}},
    {&T::DeleteAllQuestion,
     {"确认要全部删除吗？", "確認要全部刪除嗎？", "Delete the whole history?"}},
    {&T::LastSessionQuestion,
     {"要打开上次关闭时打开的%d个文档吗？", "要開啟上次關閉時開啟的%d個文件嗎？",
      "Open the %d documents that were open at the last close?"}},
    {&T::LastSessionEmpty,
     {"上次关闭时没有打开的文档。", "上次關閉時沒有開啟的文件。",
      "Nothing was open at the last close."}},
    {&T::HotkeyOff, {"关闭", "關閉", "Off"}},
    {&T::HotkeyDoubleCtrl, {"连按两次 Ctrl", "連按兩次 Ctrl", "Ctrl pressed twice"}},
    {&T::HotkeyDoubleShift, {"连按两次 Shift", "連按兩次 Shift", "Shift pressed twice"}},
    {&T::HotkeyAltSpace, {"Alt+空格", "Alt+空白鍵", "Alt+Space"}},
    {&T::HotkeyCtrlAltZ, {"Ctrl+Alt+Z", "Ctrl+Alt+Z", "Ctrl+Alt+Z"}},
    {&T::HotkeyTaken,
     {"快捷键 %s 已被其他程序占用，请另选一个。", "快速鍵 %s 已被其他程式佔用，請另選一個。",
      "The hotkey %s is taken by another program; please choose another."}},
    {&T::DeleteDocsQuestion,
     {"确认要删除这%d个文档吗？", "確認要刪除這%d個文件嗎？",
      "Delete these %d documents from the history?"}},
    {&T::DeleteMissingFavsQuestion,
     {"以下%d个收藏的文档在本机已不存在，要删除它们吗？\n\n%s",
      "以下%d個收藏的文件在本機已不存在，要刪除它們嗎？\n\n%s",
      "%d favourites point to documents that no longer exist on this computer. "
      "Delete them?\n\n%s"}},
    {&T::NoHtmlEngine,
     {"本机没有可用的网页引擎，网页搜索将在默认浏览器中打开。",
      "本機沒有可用的網頁引擎，網頁搜尋將在預設瀏覽器中開啟。",
      "This computer has no HTML engine: web searches open in the default browser."}},
    {&T::RecordingPaused,
     {"已暂停记录：托盘菜单中的“暂停记录”已勾选。",
      "已暫停記錄：系統匣選單中的「暫停記錄」已勾選。",
      "Recording is paused: \"Pause recording\" is ticked in the tray menu."}},
    {&T::RecordingWindowsOff,
     {"不记录新文档：Windows 设置为不跟踪最近打开的文档。",
      "不記錄新文件：Windows 設定為不追蹤最近開啟的文件。",
      "Nothing new is recorded: Windows is set not to track recently opened documents."}},
    {&T::RecordingPolicyOff,
     {"不记录新文档：组策略禁止保存最近打开的文档。",
      "不記錄新文件：群組原則禁止保存最近開啟的文件。",
      "Nothing new is recorded: Group Policy keeps no history of recently opened documents."}},
    {&T::RecordingRulesUnreadable,
     {"本次运行不记录：隐私规则文件 rules.dat 无法读取。",
      "本次執行不記錄：隱私規則檔案 rules.dat 無法讀取。",
      "Nothing is recorded this run: the privacy rules file rules.dat could not be read."}},
    {&T::RuleBrokenRow,
     {"（无效，暂时拦截此项的所有内容：%s）", "（無效，暫時攔截此項的所有內容：%s）",
      " (broken, keeps out everything of its field until mended: %s)"}},
    {&T::RuleUnknownRow,
     {"（无法识别，已保留）%s", "（無法識別，已保留）%s", "(not understood, kept) %s"}},
    {&T::DropRuleMatches,
     {"已保存的历史中有%d条记录符合这条规则，要删除它们吗？",
      "已保存的歷史中有%d筆記錄符合這條規則，要刪除它們嗎？",
      "%d stored records match this rule. Delete them?"}},
    {&T::ForgetQuestion,
     {"要删除这%d条记录，并且以后不再记录吗？", "要刪除這%d筆記錄，並且以後不再記錄嗎？",
      "Delete these %d records and never record them again?"}},
    {&T::RuleFieldTitle, {"标题", "標題", "Title"}},
    {&T::RuleFieldAddress, {"地址", "位址", "Address"}},
    {&T::RuleFieldProgram, {"程序", "程式", "Program"}},
    {&T::RuleActionDrop, {"不记录", "不記錄", "Never record"}},
    {&T::RuleActionRedact,
     {"只记主机或程序名", "只記主機或程式名稱", "Record the host or program only"}},
    {&T::RuleTextRow, {"包含“%s”", "包含「%s」", "contains \"%s\""}},
    {&T::RuleRegexRow, {"符合正则 %s", "符合規則運算式 %s", "matches %s"}},
    {&T::RuleInvalid,
     {"这不是有效的正则表达式：%s", "這不是有效的規則運算式：%s",
      "This is not a valid regular expression: %s"}},
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
std::span<const SharedRow, kSharedRows> SharedRows() { return kShared; }

}  // namespace zd::lang::detail
