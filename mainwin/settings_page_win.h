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
  // The page's sheet only: the controls are made the first time it is shown
  // (MakeControls), with the values the page holds by then. Until that, the
  // values below are the page's state.
  void Create(HWND parent);
  void MakeControls();
  bool made() const { return made_; }

  bool RefreshOn() const { return values_.refresh; }
  int Interval() const { return values_.interval; }
  bool AutoRunDocs() const { return values_.auto_run_docs; }
  bool QueryAutoRunDoc() const { return values_.query_auto_run_doc; }
  bool RankSearch() const { return values_.rank_search; }

  CheckBox CbZDOnTop;
  GroupBox GBZDNavSet;
  CheckBox CbZDRefresh;
  ScrollBar SbCheckTime;
  Label LblZDCheckTime;
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
  Label LblHotkey;
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

  // The start-up load: the stored switches and interval, each applied as its
  // control's change would (the key written back), shown or not.
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
  // The switches' effects, from the page's values.
  void RefreshChanged();
  void AutoRunDocsChanged();
  void QueryAutoRunDocChanged();

  // The windows these buttons open: made on first use, kept for the run.
  StartupProgramsWindow* startup_window() { return startup_window_.get(); }
  AutorunSelectionWindow* autorun_window() { return autorun_window_.get(); }

 private:
  std::unique_ptr<StartupProgramsWindow> startup_window_;
  std::unique_ptr<AutorunSelectionWindow> autorun_window_;
  // The values below in the controls, when the page has them.
  void ShowValues();
  struct Values {
    bool on_top = false;  // never stored: every start begins as a normal window
    bool refresh = false;
    int interval = kDefaultCheckInterval;
    bool auto_run_docs = false;
    bool query_auto_run_doc = false;
    bool rank_search = true;
    int hotkey = -1;              // -1: none chosen yet
    bool interval_shown = false;  // the label says the interval (else its caption)
  } values_;
  bool made_ = false;
};

}  // namespace zd
