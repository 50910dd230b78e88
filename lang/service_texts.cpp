#include "lang/service_texts.h"

#include <array>

namespace zd::lang {
namespace {

using S = ServiceTexts;

struct Row {
  ServiceRow row;
  const char* text[3];
};

#define ZD_ROW(field) \
  ServiceRow { #field, &S::field }

constexpr Row kRows[] = {
    {ZD_ROW(UpdateQuestionCaption), {"系统消息", "系統訊息", "System message"}},
    {ZD_ROW(UpdateQuestion),
     {"发现更新的版本，是否下载并安装？", "發現更新的版本，是否下載並安裝？",
      "A newer version is available. Download and install it?"}},
    {ZD_ROW(UpdateWindowCaption), {"MRX软件在线升级", "MRX軟體線上升級", "MRX online update"}},
    {ZD_ROW(UpdateInProgress),
     {"软件正在更新中，请稍候...", "軟體正在更新中，請稍候...",
      "The software is being updated, please wait..."}},
    {ZD_ROW(UpdateCancel), {"取消", "取消", "Cancel"}},
    {ZD_ROW(DownloadFailed),
     {"下载失败，请稍候再更新，或直接到官方主页更新",
      "下載失敗，請稍候再更新，或直接到官方首頁更新",
      "The download failed. Please update later, or update from the official home page."}},
    {ZD_ROW(DownloadAddressFailed),
     {"下载地址错误，请稍候再更新，或直接到官方主页更新",
      "下載位址錯誤，請稍候再更新，或直接到官方首頁更新",
      "The download address is wrong. Please update later, or update from the official home "
      "page."}},
    {ZD_ROW(UpdateCheckFailed),
     {"下载的安装程序未通过校验，已被删除。请稍候再更新，或直接到官方主页更新",
      "下載的安裝程式未通過校驗，已被刪除。請稍候再更新，或直接到官方首頁更新",
      "The downloaded setup failed its check and was deleted. Please update later, or update "
      "from the official home page."}},
    {ZD_ROW(UpdateElevationDeclined),
     {"未获得管理员权限，更新已取消。", "未取得系統管理員權限，更新已取消。",
      "Administrator rights were not granted: the update was cancelled."}},
    {ZD_ROW(UpdateStartFailed),
     {"无法启动安装程序，请直接到官方主页更新。", "無法啟動安裝程式，請直接到官方首頁更新。",
      "The setup could not be started. Please update from the official home page."}},
    {ZD_ROW(DemoTab), {"实例演示", "實例演示", "Demo"}},
    {ZD_ROW(HotTab), {"热点推荐      ", "熱點推薦      ", "Recommended      "}},
    {ZD_ROW(FetchingVersion),
     {"正在获取MRX软件云服务器的最新版本...", "正在取得MRX軟體雲端伺服器的最新版本...",
      "Fetching the latest version from the MRX cloud servers..."}},
    {ZD_ROW(RefreshButton), {"刷新", "重新整理", "Refresh"}},
    {ZD_ROW(AddressLabel), {"地址", "位址", "Address"}},
    {ZD_ROW(CloseAdvert), {"关闭", "關閉", "Close"}},
    {ZD_ROW(OpenAdvertWindow), {"在新窗口中打开", "在新視窗中開啟", "Open in a new window"}},
    {ZD_ROW(NoBrowserEngine),
     {"此系统无法在窗口中显示网页。", "此系統無法在視窗中顯示網頁。",
      "This system cannot show web pages inside the window."}},
    {ZD_ROW(OpenDemoInBrowser),
     {"在浏览器中打开实例演示", "在瀏覽器中開啟實例演示", "Open the demo in the browser"}},
    {ZD_ROW(HelpDemo), {"实例说明(&D)", "實例說明(&D)", "Demo notes (&D)"}},
    {ZD_ROW(HelpHome), {"官方主页(&H)", "官方首頁(&H)", "Home page (&H)"}},
    {ZD_ROW(HelpAbout), {"关于(&A)...", "關於(&A)...", "About (&A)..."}},
    {ZD_ROW(AboutDescription),
     {"桌面启动与文档记录工具", "桌面啟動與文件記錄工具", "Desktop launcher and document history"}},
    {ZD_ROW(AboutVersion), {"版本 %s", "版本 %s", "Version %s"}},
    {ZD_ROW(AboutCopyright), {"版权所有 © MRX软件", "版權所有 © MRX軟體", "Copyright © MRX"}},
    {ZD_ROW(AboutHomeLink), {"访问官方主页", "造訪官方首頁", "Visit the home page"}},
    {ZD_ROW(AboutOk), {"确定", "確定", "OK"}},
    {ZD_ROW(AboutTestBuild),
     {"测试版本：内嵌临时更新密钥，不是正式发行版", "測試版本：內嵌臨時更新金鑰，不是正式發行版",
      "test build: embeds a throwaway update key, not a release"}},
    {ZD_ROW(UninstallTitle), {"卸载MRX软件 - %s", "解除安裝MRX軟體 - %s", "Uninstall MRX - %s"}},
    {ZD_ROW(UninstallCaption), {"MRX软件卸载程序", "MRX軟體解除安裝程式", "MRX uninstaller"}},
    {ZD_ROW(UninstallAdvice),
     {"卸载前请先关闭所有正在运行的MRX软件。", "解除安裝前請先關閉所有正在執行的MRX軟體。",
      "Close all running MRX programs before you start."}},
    {ZD_ROW(UninstallLatest),
     {"查看MRX最新软件", "查看MRX最新軟體", "See the latest MRX software"}},
    {ZD_ROW(UninstallStart), {"开始卸载", "開始解除安裝", "Uninstall"}},
    {ZD_ROW(UninstallClose), {"关闭", "關閉", "Close"}},
    {ZD_ROW(UninstallDone),
     {"你已成功卸载『%s』", "你已成功解除安裝『%s』", "『%s』 has been uninstalled"}},
    {ZD_ROW(UninstallIncomplete),
     {"卸载未完成，以下项目无法删除：\n%s\n\n请以管理员身份重新运行卸载。",
      "解除安裝未完成，以下項目無法刪除：\n%s\n\n請以系統管理員身分重新執行解除安裝。",
      "The uninstall is not complete. These could not be removed:\n%s\n\n"
      "Run the uninstall again as an administrator."}},
    {ZD_ROW(UninstallNoScript),
     {"程序文件夹无法自动删除，请手动删除：\n%s", "程式資料夾無法自動刪除，請手動刪除：\n%s",
      "The program folder could not be removed automatically; please delete it:\n%s"}},
    {ZD_ROW(UninstallStillRunning),
     {"%s 仍在运行，请先退出后再卸载。", "%s 仍在執行，請先結束後再解除安裝。",
      "%s is still running. Exit it, then uninstall."}},
    {ZD_ROW(UninstallWaiting),
     {"正在等待 %s 退出…", "正在等待 %s 結束…", "Waiting for %s to exit..."}},
    {ZD_ROW(StartWaiting),
     {"上次运行的 %s 正在保存历史记录，保存完毕后即启动…",
      "上次執行的 %s 正在儲存歷史記錄，儲存完畢後即啟動…",
      "The last run of %s is still saving the history; it starts once that is done..."}},
    {ZD_ROW(StartGaveUp),
     {"上次运行的 %s 没有结束，本次启动已取消。", "上次執行的 %s 沒有結束，本次啟動已取消。",
      "The last run of %s has not ended; this start was cancelled."}},
    {ZD_ROW(StartInUse),
     {"此历史记录文件夹正被另一个会话中的程序使用，本次启动不会读取或更改它：\n%s",
      "此歷史記錄資料夾正被另一個工作階段中的程式使用，本次啟動不會讀取或變更它：\n%s",
      "This history folder is in use by the program in another session; this start leaves it "
      "alone:\n%s"}},
    {ZD_ROW(StartNoOwnFolder),
     {"找不到只属于您的配置文件夹（%s 属于另一个帐户），程序将退出。",
      "找不到只屬於您的設定資料夾（%s 屬於另一個帳戶），程式將結束。",
      "No configuration folder of your own could be made (%s belongs to another account); the "
      "program ends."}},
};

#undef ZD_ROW

std::array<ServiceTexts, 3> MakeAll() {
  std::array<ServiceTexts, 3> all;
  for (int col = 0; col < 3; ++col)
    for (const Row& r : kRows) all[col].*(r.row.field) = r.text[col];
  return all;
}

std::array<ServiceRow, std::size(kRows)> MakeRows() {
  std::array<ServiceRow, std::size(kRows)> rows{};
  for (size_t i = 0; i < std::size(kRows); ++i) rows[i] = kRows[i].row;
  return rows;
}

}  // namespace

const ServiceTexts& ServiceTextsFor(int language_index) {
  static const std::array<ServiceTexts, 3> all = MakeAll();
  return all[language_index == 1 || language_index == 2 ? language_index : 0];
}

std::span<const ServiceRow> ServiceRows() {
  static const auto rows = MakeRows();
  return rows;
}

}  // namespace zd::lang
