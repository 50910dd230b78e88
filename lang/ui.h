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
  X(TabSheet8) X(tbDemo) X(TabSheet7) X(TabSheet9) X(TabSheet10) X(TabSheet4) X(TabSheet5) \
  X(TabSheet2) X(TabSheet3) X(TabSheet6) X(TabSheet1) \
  /* launcher page */ \
  X(EdtSearch) X(BtnZDSearch) X(MnZDAutoRun) X(GroupBox1) X(CbAdvSet) X(BtnZDStart) \
  X(BtnAddToQuickLaunch) X(Button1) X(Button3) X(Button4) X(Button5) \
  X(TVDoc) X(TVApp) X(TVPath) X(TVDocs) \
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
  X(SpeedButton5) X(SpeedButton6) X(SpeedButton7) X(SpeedButton8) X(SpeedButton9) \
  X(SpeedButton23) X(SpeedButton22) X(SpeedButton19) X(BtmManageTask) X(SpeedButton17) \
  X(SpeedButton14) X(SpeedButton11) X(SpeedButton16) X(SpeedButton1) X(BtnMoreSpecDir) \
  /* tray menu */ \
  X(popMenu) X(MnOpenZapdock) X(MnZDWeb) X(MnZDDir) X(MnSoftware) X(MnDayCalify) X(MnToday) \
  X(MnYesday) X(MnPre3days) X(MnPreWeek) X(MnZDAll) X(PmAutoRun) X(MnSystemUse) X(MnMyComputer) \
  X(MnZDMyDoc) X(MnMyDesk) X(MnZDControl) X(MnZDRecycle) X(MnZDTask) X(MnZDRecent) X(MnZDRun) \
  X(PmRecent) X(PmMyDocs) X(MnPauseRecording) X(MnZDExit) X(MnRestoreLastSession) \
  /* tree menu */ \
  X(PmDocTree) X(MnOpenDIr) X(MnRefresh) X(N24) X(MnExpandAll) X(N23) X(N22) \
  X(MnDeleteSelected) X(MnDeleteAllDocs) X(N21) X(MyMyLove) X(MnAddToRunList) \
  /* favourites menu */ \
  X(PmMyFav) X(MnOpenMyFavDoc) X(MyDeleteFav) X(MnZDAddToRun) X(MnZDDeleteNotExistsDoc) \
  X(MnNewToFav) X(MnUpdateFav) X(MnShowFavEdit) \
  /* auto-run list menu */ \
  X(PmAutoRunList) X(N35) X(N37) X(N38) X(MnOpenDirInAutoRUn) \
  /* more special folders */ \
  X(PmMoreSpecialDir) X(N2) X(PmDesktopPath) X(Cookie1) X(pmFont) X(N4) X(N11) X(lianj1) X(N12) \
  X(N13) X(N14) X(N15) X(N16) X(N17) X(N18) X(Windows1) X(N19) X(N1) X(N3) X(N5) X(N6) X(N7) \
  X(N8) X(N9) X(N10) \
  /* the recent-documents menu, filled at run time */ \
  X(PmRecentList) \
  /* the startup programs window */ \
  X(LV) X(LbZDPCStartName) X(TxtStartName) X(LbZDPCStartPath) X(TxtStartPath) X(BtnZDPCRun) \
  X(BtnZDAddPCStart) X(BtnZDDeletePCStart) X(BtnZDClearPCStart) X(BtnClose) \
  /* the document selection window */ \
  X(LblSelectDocHint) X(LbSelectDoc) X(CbNotQuery) X(CbSelectAll) X(BtnConfirm) X(SpeedButton2) \
  X(LblResetHint)
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
