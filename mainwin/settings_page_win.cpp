#include "mainwin/settings_page_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <string>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "launch/hotkey.h"
#include "mainwin/form_model.h"
#include "store/settings_keys.h"

namespace zd {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kHidden = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kCheck = WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kButton = WS_TABSTOP | BS_PUSHBUTTON;

}  // namespace

void SettingsPage::Create(HWND parent) {
  host_.Factory().Make(sheet, kPanelClass, "", kHidden | WS_CLIPCHILDREN, parent, 0, 0, 10, 10);
}

void SettingsPage::MakeControls() {
  if (made_ || !sheet) return;
  made_ = true;
  ControlFactory& f = host_.Factory();
  const int lang = host_.Deps().language_index;
  auto caption = [lang](Ui part) { return lang::CaptionOf(part, lang); };
  HWND page = sheet.hwnd();
  f.Make(CbZDOnTop, L"BUTTON", caption(Ui::CbZDOnTop), kChild | kCheck, page, 16, 10, 220, 20);

  f.Make(GBZDNavSet, L"BUTTON", caption(Ui::GBZDNavSet), kChild | BS_GROUPBOX, page, 8, 38, 380,
         86);
  f.Make(CbZDRefresh, L"BUTTON", caption(Ui::CbZDRefresh), kChild | kCheck, page, 20, 60, 80, 20);
  f.Make(SbCheckTime, L"SCROLLBAR", "", kChild | WS_TABSTOP | SBS_HORZ, page, 104, 61, 270, 18);
  SbCheckTime.SetRange(kMinCheckInterval, kMaxCheckInterval, values_.interval);
  f.Make(LblZDCheckTime, L"STATIC", caption(Ui::LbZDCheckTime), kChild, page, 20, 92, 350, 20);

  f.Make(GbZDAutoRundDoc, L"BUTTON", caption(Ui::GbZDAutoRundDoc), kChild | BS_GROUPBOX, page, 8,
         134, 380, 86);
  f.Make(BtnZDAutoRunSet, L"BUTTON", caption(Ui::BtnZDAutoRunSet), kChild | kButton, page, 20, 154,
         150, 26);
  f.AddHint(BtnZDAutoRunSet, lang::HintOf(Ui::BtnZDAutoRunSet, lang));
  f.Make(CbQueryAutoRunDoc, L"BUTTON", caption(Ui::CbQueryAutoRunDoc), kChild | kCheck, page, 20,
         190, 170, 20);
  f.Make(CbAutoRunDocs, L"BUTTON", caption(Ui::CbAutoRunDocs), kChild | kCheck, page, 200, 190, 170,
         20);

  const std::pair<Button*, Ui> column[] = {{&BtnZDDeleteAllDocs, Ui::BtnZDDeleteAllDocs},
                                           {&BtnZDPCStart, Ui::BtnZDPCStart},
                                           {&BtnAbout, Ui::BtnAbout},
                                           {&BtnHelp, Ui::BtnHelp}};
  for (int i = 0; i < 4; ++i) {
    f.Make(*column[i].first, L"BUTTON", caption(column[i].second), kChild | kButton, page, 410,
           44 + 36 * i, 170, 28);
  }
  f.AddHint(BtnHelp, lang::HintOf(Ui::BtnHelp, lang));
  f.Make(BtnRestoreLastSession, L"BUTTON", caption(Ui::BtnRestoreLastSession), kChild | kButton,
         page, 410, 44 + 36 * 4, 170, 28);

  f.Make(GbZDLauncher, L"BUTTON", caption(Ui::GbZDLauncher), kChild | BS_GROUPBOX, page, 8, 230,
         380, 86);
  f.Make(CbRankSearch, L"BUTTON", caption(Ui::CbRankSearch), kChild | kCheck, page, 20, 252, 350,
         20);
  f.AddHint(CbRankSearch, lang::HintOf(Ui::CbRankSearch, lang));

  f.Make(LblHotkey, L"STATIC", caption(Ui::LbHotkey), kChild | SS_CENTERIMAGE, page, 20, 282, 110,
         22);
  f.Make(CmbHotkey, WC_COMBOBOXW, caption(Ui::CmbHotkey),
         kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, page, 134, 282, 200, 160);
  f.AddHint(CmbHotkey, lang::HintOf(Ui::CmbHotkey, lang));

  f.Make(BtnFilter, L"BUTTON", caption(Ui::BtnFilter), kHidden | kButton, page, 410, 200, 120, 26);
  f.Make(BtnDocDisplay, L"BUTTON", caption(Ui::BtnDocDisplay), kHidden | kButton, page, 410, 232,
         120, 26);
  f.Make(RgAutorOpenType, L"BUTTON", caption(Ui::RgAutorOpenType), kHidden | BS_GROUPBOX, page, 8,
         228, 380, 96);
  const Ui items[] = {Ui::RgAutorOpenType0, Ui::RgAutorOpenType1, Ui::RgAutorOpenType2};
  for (int i = 0; i < 3; ++i) {
    f.Make(RgAutorOpenTypeItems[i], L"BUTTON", caption(items[i]),
           kHidden | BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP : 0), page, 20, 248 + 22 * i, 300, 20);
  }
  privacy.Create(page);
  f.SendGroupBoxesToBottom();
  // The language's captions and pictures, as the other pages got them; then
  // what the page held while it had no controls.
  host_.ControlsMade();
  ShowValues();
  privacy.ShowRules();
  privacy.ShowState();
}

void SettingsPage::ShowValues() {
  if (!made_) return;
  CbZDOnTop.SetChecked(values_.on_top);
  CbZDRefresh.SetChecked(values_.refresh);
  CbAutoRunDocs.SetChecked(values_.auto_run_docs);
  CbQueryAutoRunDoc.SetChecked(values_.query_auto_run_doc);
  CbRankSearch.SetChecked(values_.rank_search);
  SbCheckTime.SetPosition(values_.interval);
  if (values_.hotkey >= 0) ShowHotkey(values_.hotkey);
  if (values_.interval_shown) UpdateIntervalLabel(values_.interval);
}

bool SettingsPage::OnControlCommand(HWND control, UINT code) {
  if (control == CmbHotkey.hwnd()) {
    if (code == CBN_SELCHANGE) CmbHotkeyChange();
    return true;
  }
  if (privacy.OnControlCommand(control, code)) return true;
  if (code != BN_CLICKED) return false;
  if (control == CbZDOnTop.hwnd()) {
    CbZDOnTopClick();
  } else if (control == CbZDRefresh.hwnd()) {
    CbZDRefreshClick();
  } else if (control == CbAutoRunDocs.hwnd()) {
    CbAutoRunDocsClick();
  } else if (control == CbQueryAutoRunDoc.hwnd()) {
    CbQueryAutoRunDocClick();
  } else if (control == BtnZDAutoRunSet.hwnd()) {
    BtnZDAutoRunSetClick();
  } else if (control == BtnZDPCStart.hwnd()) {
    BtnZDPCStartClick();
  } else if (control == BtnAbout.hwnd()) {
    if (OnlineServices* online = host_.Online()) online->ShowAbout();
  } else if (control == BtnHelp.hwnd()) {
    if (OnlineServices* online = host_.Online()) online->OpenDemoNotes();
  } else if (control == CbRankSearch.hwnd()) {
    CbRankSearchClick();
  } else if (control == BtnRestoreLastSession.hwnd()) {
    host_.RestoreLastSession();
  } else {
    return false;
  }
  return true;
}

void SettingsPage::OnScroll(int code) {
  const SCROLLINFO si = SbCheckTime.Info();
  const int position = ScrollBarPosition(code, si.nPos, si.nTrackPos, si.nMin, si.nMax);
  if (position < 0 || position == si.nPos) return;
  SbCheckTime.SetPosition(position);
  SbCheckTimeChange(position);
}

void SettingsPage::CbZDOnTopClick() {
  // Not saved: every start begins as a normal window.
  values_.on_top = CbZDOnTop.Checked();
  SetWindowPos(host_.Window(), values_.on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void SettingsPage::CbZDRefreshClick() {
  values_.refresh = CbZDRefresh.Checked();
  RefreshChanged();
}

void SettingsPage::RefreshChanged() {
  host_.SetRefreshTimer(values_.refresh ? values_.interval : 0);
  if (SettingsFile* s = host_.Store().settings.get())
    s->WriteBool(setting::kRefresh.section, setting::kRefresh.name, values_.refresh);
}

void SettingsPage::UpdateIntervalLabel(int seconds) {
  values_.interval_shown = true;
  LblZDCheckTime.SetText(lang::FormatText(lang::Texts().IntervalFormat, seconds));
}

void SettingsPage::SbCheckTimeChange(int position) {
  position = ClampCheckInterval(position);
  values_.interval = position;
  UpdateIntervalLabel(position);
  if (values_.refresh) host_.SetRefreshTimer(position);
  if (SettingsFile* s = host_.Store().settings.get())
    s->WriteInteger(setting::kCheckDocInterval.section, setting::kCheckDocInterval.name, position);
}

void SettingsPage::CbAutoRunDocsClick() {
  values_.auto_run_docs = CbAutoRunDocs.Checked();
  AutoRunDocsChanged();
}

void SettingsPage::AutoRunDocsChanged() {
  if (SettingsFile* s = host_.Store().settings.get())
    s->WriteBool(setting::kRunSelectDoc.section, setting::kRunSelectDoc.name,
                 values_.auto_run_docs);
}

void SettingsPage::CbQueryAutoRunDocClick() {
  values_.query_auto_run_doc = CbQueryAutoRunDoc.Checked();
  QueryAutoRunDocChanged();
}

void SettingsPage::QueryAutoRunDocChanged() {
  if (SettingsFile* s = host_.Store().settings.get())
    s->WriteBool(setting::kQueryAutoRunDoc.section, setting::kQueryAutoRunDoc.name,
                 values_.query_auto_run_doc);
}

void SettingsPage::BtnZDPCStartClick() {
  if (!startup_window_) {
    StartupWindowDeps deps;
    deps.registry = host_.Deps().registry;
    deps.language_index = host_.Deps().language_index;
    deps.message_box = host_.Deps().message_box;
    deps.open_path = [this](const std::string& path) { host_.OpenPath(path); };
    startup_window_ = StartupProgramsWindow::Create(host_.Window(), deps);
  }
  if (startup_window_) startup_window_->Show();
}

void SettingsPage::BtnZDAutoRunSetClick() {
  if (!autorun_window_) {
    autorun_window_ =
        AutorunSelectionWindow::Create(host_.Window(),
                               [this](const std::string& path) { host_.OpenPath(path); });
  }
  if (!autorun_window_) return;
  DocStore& store = host_.Store();
  const auto confirmed = autorun_window_->ShowDocSelection(store.docs, values_.query_auto_run_doc);
  if (!confirmed) return;  // cancel changes nothing
  values_.query_auto_run_doc = confirmed->query_auto_run_doc;
  CbQueryAutoRunDoc.SetChecked(values_.query_auto_run_doc);
  QueryAutoRunDocChanged();
  if (store.settings) SaveSelectedFlags(*store.settings, store.docs, confirmed->changed);
  // A file's choice goes with its line of the files' list, at the next write.
  store.files_changed = true;
}

void SettingsPage::CbRankSearchClick() {
  const bool ranked = CbRankSearch.Checked();
  values_.rank_search = ranked;
  host_.SetSearchRanked(ranked);
  if (SettingsFile* s = host_.Store().settings.get())
    s->WriteBool(setting::kRankSearch.section, setting::kRankSearch.name, ranked);
}

void SettingsPage::ShowHotkey(int choice) {
  values_.hotkey = static_cast<int>(HotkeyChoiceOf(choice));
  if (!made_) return;
  const lang::InterfaceTexts& t = lang::Texts();
  if (CmbHotkey.Count() == 0) {
    for (int i = 0; i < kHotkeyChoiceCount; ++i) {
      CmbHotkey.AddItem(HotkeyText(static_cast<HotkeyChoice>(i), t));
    }
  }
  CmbHotkey.Select(static_cast<int>(HotkeyChoiceOf(choice)));
}

void SettingsPage::CmbHotkeyChange() {
  const int choice = CmbHotkey.Selected();
  if (choice < 0) return;
  if (!host_.SetHotkey(choice)) {
    // Another program holds the combination: said once, and nothing is kept.
    const lang::InterfaceTexts& t = lang::Texts();
    host_.ShowMessage(lang::FormatText(t.HotkeyTaken, CmbHotkey.ItemText(choice)), t.TipsCaption,
                      MB_OK | MB_ICONWARNING);
    CmbHotkey.Select(static_cast<int>(HotkeyChoice::kOff));
    host_.SetHotkey(static_cast<int>(HotkeyChoice::kOff));
  }
  values_.hotkey = CmbHotkey.Selected();
  if (SettingsFile* s = host_.Store().settings.get())
    s->WriteInteger(setting::kHotkey.section, setting::kHotkey.name, CmbHotkey.Selected());
}

void SettingsPage::ApplyStored(const DefaultSettings& stored) {
  values_.rank_search = stored.rank_search;
  values_.auto_run_docs = stored.run_select_doc;
  values_.refresh = stored.refresh;
  values_.query_auto_run_doc = stored.query_auto_run_doc;
  values_.interval = stored.check_interval;
  // The hotkey was set (and shown) from the same file when the window was
  // made: one the system refused then shows "off", not what is stored.
  values_.interval_shown = true;
  host_.SetSearchRanked(stored.rank_search);
  ShowValues();
  AutoRunDocsChanged();
  RefreshChanged();
  QueryAutoRunDocChanged();
}

}  // namespace zd
