// The settings page ("设置"): stay on top, the refresh switch and interval,
// the auto-run switches, the launcher's search order and hotkey, and the
// buttons of the other windows (the last session among them).
#pragma once

#include <memory>

#include "launch/autorun_selection_window_win.h"
#include "launch/startup_programs_window_win.h"
#include "mainwin/page_win.h"
#include "mainwin/privacy_panel_win.h"
#include "store/startup_load.h"

namespace zd {

class SettingsPage : public Page {
 public:
  explicit SettingsPage(PageHost& host) : Page(host), privacy(host) {}
  void Create(HWND parent);

  CheckBox CbZDOnTop;
  GroupBox GBZDNavSet;
  CheckBox CbZDRefresh;
  ScrollBar SbCheckTime;
  Label LbZDCheckTime;
  GroupBox GbZDAutoRundDoc;
  Button BtnZDAutoRunSet;
  CheckBox CbQueryAutoRunDoc;
  CheckBox CbAutoRunDocs;
  Button BtnZDDeleteAllDocs;
  Button BtnZDPCStart;
  Button BtnAbout;
  Button BtnHelp;
  GroupBox GbZDLauncher;
  CheckBox CbRankSearch;
  Label LbHotkey;
  ComboBox CmbHotkey;  // HotkeyChoice, in order
  Button BtnRestoreLastSession;
  // Never shown.
  Button BtnFilter;
  Button BtnDocDisplay;
  GroupBox RgAutorOpenType;
  Button RgAutorOpenTypeItems[3];
  PrivacyPanel privacy;

  bool OnControlCommand(HWND control, UINT code) override;
  // WM_HSCROLL of SbCheckTime.
  void OnScroll(int code);

  // The start-up load: the stored switches and interval, each applied through
  // its handler (which writes the key back, as a click would).
  void ApplyStored(const DefaultSettings& stored);
  void UpdateIntervalLabel(int seconds);

  void CbZDOnTopClick();
  void CbZDRefreshClick();
  void SbCheckTimeChange(int position);
  void CbAutoRunDocsClick();
  void CbQueryAutoRunDocClick();
  void BtnZDAutoRunSetClick();
  void BtnZDPCStartClick();
  void CbRankSearchClick();
  void CmbHotkeyChange();
  // The hotkey's choice shown, with the launcher's texts.
  void ShowHotkey(int choice);

  // The windows these buttons open: made on first use, kept for the run.
  StartupProgramsWindow* startup_window() { return startup_window_.get(); }
  AutorunSelectionWindow* autorun_window() { return autorun_window_.get(); }

 private:
  std::unique_ptr<StartupProgramsWindow> startup_window_;
  std::unique_ptr<AutorunSelectionWindow> autorun_window_;
};

}  // namespace zd
