// Every part of the interface that carries a caption or a command: the main
// window's pages and controls, and its menus with their entries. The caption
// table is keyed by these, menu command ids are made from them, and the
// window's pages hold typed controls: no caption or control is ever looked up
// by a name string.
#pragma once

#include <cstdint>
#include <string_view>

namespace zd {

// X(name): the design name of the part.
// clang-format off
#define ZD_UI_PARTS(X) \
  /* pages */ \
  X(LauncherSheet) X(tbDemo) X(WebSheet) X(ProgramsSheet) X(FoldersSheet) X(FilesSheet) X(SystemSheet) X(FavouritesSheet) \
  X(BrowserSheet) X(NotesSheet) X(SettingsSheet) X(AllSheet) \
  /* launcher page */ \
  X(EdtSearch) X(BtnZDSearch) X(CbAutoStart) X(AllDocsGroup) X(CbAdvSet) X(BtnZDStart) \
  X(BtnAddToQuickLaunch) X(BtnUnusedA) X(BtnUnusedB) X(BtnTimedShutdown) X(BtnSendMail) \
  X(TVDoc) X(TVApp) X(TVPath) X(TVFile) X(TVDocs) \
  /* favourites page */ \
  X(CbFavEdit) X(GbZDFavEdit) X(LblZDFavName) X(LblZDFavPath) X(GbZDFavList) X(LbMyLove) \
  X(BtnZDAddToFav) X(BtnZDUpdateFav) \
  /* settings page */ \
  X(CbZDOnTop) X(GBZDNavSet) X(CbZDRefresh) X(LbZDCheckTime) X(GbZDAutoRundDoc) \
  X(BtnZDAutoRunSet) X(CbQueryAutoRunDoc) X(CbAutoRunDocs) X(BtnZDDeleteAllDocs) \
  X(BtnZDPCStart) X(BtnAbout) X(BtnHelp) X(BtnFilter) X(BtnDocDisplay) X(RgAutorOpenType) \
  X(RgAutorOpenType0) X(RgAutorOpenType1) X(RgAutorOpenType2) \
  X(GbZDLauncher) X(CbRankSearch) X(LbHotkey) X(CmbHotkey) X(BtnRestoreLastSession) \
  /* settings page: privacy */ \
  X(GbZDPrivacy) X(LbPrivacyRules) X(EdtRulePattern) X(CmbRuleField) X(CmbRuleAction) \
  X(CbRuleRegex) X(BtnAddRule) X(BtnDeleteRule) X(LblRecordingState) \
  /* system page */ \
  X(MyComputerButton) X(MyDocumentsButton) X(DesktopButton) X(RecycleBinButton) X(ControlPanelButton) \
  X(HistoryButton) X(FavouritesFolderButton) X(NetworkButton) X(BtmManageTask) X(StartMenuButton) \
  X(ProgramsButton) X(DesktopFolderButton) X(StartupFolderButton) X(SystemFolderButton) X(BtnMoreSpecDir) \
  /* tray menu */ \
  X(popMenu) X(MnOpenZapdock) X(MnZDWeb) X(MnZDDir) X(MnSoftware) X(MnDayCalify) X(MnToday) \
  X(MnYesday) X(MnPre3days) X(MnPreWeek) X(MnZDAll) X(PmAutoRun) X(MnSystemUse) X(MnMyComputer) \
  X(MnZDMyDoc) X(MnMyDesk) X(MnZDControl) X(MnZDRecycle) X(MnZDTask) X(MnZDRecent) X(MnZDRun) \
  X(PmRecent) X(PmMyDocs) X(MnPauseRecording) X(MnZDExit) X(MnRestoreLastSession) \
  /* tree menu */ \
  X(PmDocTree) X(MnOpenDIr) X(MnRefresh) X(StopProgramItem) X(MnExpandAll) X(CollapseAllItem) X(DeleteSeparator) \
  X(MnDeleteSelected) X(ForgetAndStopRecordingItem) X(MnDeleteAllDocs) X(ListsSeparator) X(MyMyLove) \
  X(MnAddToRunList) \
  /* favourites menu */ \
  X(PmMyFav) X(MnOpenMyFavDoc) X(MyDeleteFav) X(MnZDAddToRun) X(MnZDDeleteNotExistsDoc) \
  X(MnNewToFav) X(MnUpdateFav) X(MnShowFavEdit) \
  /* auto-run list menu */ \
  X(PmAutoRunList) X(AddToFavouritesItem) X(DeleteFromRunItem) X(OpenDirectlyItem) X(MnOpenDirInAutoRUn) \
  /* more special folders */ \
  X(PmMoreSpecialDir) X(CurrentUserMenu) X(PmDesktopPath) X(CookiesItem) X(FontsItem) X(DrivesItem) X(CacheItem) X(NetworkConnectionsItem) X(PrintersItem) \
  X(NetworkPrintersItem) X(ProgramFilesItem) X(ProgramMenuItem) X(SendToFolderItem) X(StartMenuItem) X(DrivesAgainItem) X(WindowsFolderItem) X(SendToItem) X(AllUsersMenu) X(AllUsersDocumentsItem) X(AllUsersDesktopItem) X(AllUsersFavouritesItem) X(AllUsersProgramsItem) \
  X(AllUsersStartMenuItem) X(AllUsersStartupItem) X(ModulesItem) \
  /* the recent-documents menu, filled at run time */ \
  X(PmRecentList) \
  /* the startup programs window */ \
  X(LV) X(LbZDPCStartName) X(TxtStartName) X(LbZDPCStartPath) X(TxtStartPath) X(BtnZDPCRun) \
  X(BtnZDAddPCStart) X(BtnZDDeletePCStart) X(BtnZDClearPCStart) X(BtnClose) \
  /* the document selection window */ \
  X(LblSelectDocHint) X(LbSelectDoc) X(CbNotQuery) X(CbSelectAll) X(BtnConfirm) X(BtnCancel) \
  X(LblResetHint) \
  /* the last session's question */ \
  X(LbSessionDocs) X(BtnOpenSession) X(BtnCancelSession)
// clang-format on

enum class Ui : uint16_t {
#define ZD_UI_ENUMERATOR(name) name,
  ZD_UI_PARTS(ZD_UI_ENUMERATOR)
#undef ZD_UI_ENUMERATOR
      kCount
};

inline constexpr int kUiCount = static_cast<int>(Ui::kCount);

// The design name ("CbFavEdit"); names the part in diagnostics, tests and
// resource names (a button's picture is the bitmap resource of its name).
std::string_view UiName(Ui part);

}  // namespace zd
