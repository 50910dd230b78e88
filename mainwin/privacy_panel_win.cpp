#include "mainwin/privacy_panel_win.h"

#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

#include "lang/captions.h"
#include "lang/lang_tables.h"
#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;

// The combo boxes' rows, in the order of the enums.
// Right of the left column's groups and below the buttons, which end at 216.
constexpr int kLeft = 400;
constexpr int kTop = 224;
constexpr RuleField kFields[] = {RuleField::kTitle, RuleField::kAddress, RuleField::kProgram};
constexpr RuleAction kActions[] = {RuleAction::kDrop, RuleAction::kRedact};

const std::string& FieldText(RuleField field) {
  const lang::InterfaceTexts& t = lang::Texts();
  return field == RuleField::kTitle     ? t.RuleFieldTitle
         : field == RuleField::kAddress ? t.RuleFieldAddress
                                        : t.RuleFieldProgram;
}

const std::string& ActionText(RuleAction action) {
  const lang::InterfaceTexts& t = lang::Texts();
  return action == RuleAction::kDrop ? t.RuleActionDrop : t.RuleActionRedact;
}

// The width of a row in the list's own font.
int TextWidth(HWND list, const std::wstring& text) {
  WindowDC dc(list);
  SelectGuard font(dc.get(), reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0)));
  SIZE size{};
  GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

void AddRow(const Control& combo, const std::string& text) {
  SendMessageW(combo.hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(text).c_str()));
}

}  // namespace

void PrivacyPanel::Create(HWND page) {
  ControlFactory& f = host_.Factory();
  const int lang = host_.Deps().language_index;
  auto caption = [lang](Ui part) { return lang::CaptionOf(part, lang); };
  f.Make(GbZDPrivacy, L"BUTTON", caption(Ui::GbZDPrivacy), kChild | BS_GROUPBOX, page, kLeft, kTop,
         380, 216);
  // Lists and fields are named by their window text, for screen readers.
  f.Make(
      LbPrivacyRules, L"LISTBOX", caption(Ui::LbPrivacyRules),
      kChild | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | WS_BORDER | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
      page, kLeft + 12, kTop + 18, 356, 62);
  f.Make(EdtRulePattern, L"EDIT", "", kChild | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, page,
         kLeft + 12, kTop + 86, 356, 22);
  SendMessageW(EdtRulePattern.hwnd(), EM_SETCUEBANNER, TRUE,
               reinterpret_cast<LPARAM>(Utf8ToWide(caption(Ui::EdtRulePattern)).c_str()));
  f.AddHint(EdtRulePattern, caption(Ui::EdtRulePattern));
  f.Make(CmbRuleField, L"COMBOBOX", caption(Ui::CmbRuleField),
         kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, page, kLeft + 12, kTop + 114, 110,
         120);
  f.Make(CmbRuleAction, L"COMBOBOX", caption(Ui::CmbRuleAction),
         kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, page, kLeft + 130, kTop + 114, 120,
         120);
  f.AddHint(CmbRuleField, caption(Ui::CmbRuleField));
  f.AddHint(CmbRuleAction, caption(Ui::CmbRuleAction));
  f.Make(CbRuleRegex, L"BUTTON", caption(Ui::CbRuleRegex), kChild | WS_TABSTOP | BS_AUTOCHECKBOX,
         page, kLeft + 258, kTop + 116, 116, 20);
  f.Make(BtnAddRule, L"BUTTON", caption(Ui::BtnAddRule), kChild | WS_TABSTOP | BS_PUSHBUTTON, page,
         kLeft + 12, kTop + 144, 110, 26);
  f.Make(BtnDeleteRule, L"BUTTON", caption(Ui::BtnDeleteRule), kChild | WS_TABSTOP | BS_PUSHBUTTON,
         page, kLeft + 130, kTop + 144, 120, 26);
  // Two lines: the English reasons are longer than the group is wide.
  f.Make(LblRecordingState, L"STATIC", "", kChild, page, kLeft + 12, kTop + 176, 356, 34);
}

bool PrivacyPanel::OnControlCommand(HWND control, UINT code) {
  if (code != BN_CLICKED) return false;
  if (control == BtnAddRule.hwnd()) {
    BtnAddRuleClick();
  } else if (control == BtnDeleteRule.hwnd()) {
    BtnDeleteRuleClick();
  } else {
    return false;
  }
  return true;
}

void PrivacyPanel::BtnAddRuleClick() {
  Recording* recording = host_.Recorder();
  if (!recording) return;
  PrivacyRule rule;
  rule.pattern = EdtRulePattern.Text();
  rule.regex = CbRuleRegex.Checked();
  const int field = ComboBox_GetCurSel(CmbRuleField.hwnd());
  const int action = ComboBox_GetCurSel(CmbRuleAction.hwnd());
  rule.field = kFields[field >= 0 && field < 3 ? field : 1];
  rule.action = kActions[action == 1 ? 1 : 0];
  const lang::InterfaceTexts& texts = lang::Texts();
  if (!IsValidRulePattern(rule)) {
    // A blank pattern is no rule; a broken expression is said so.
    if (rule.regex && !Trim(rule.pattern).empty()) {
      host_.ShowMessage(lang::FormatText(texts.RuleInvalid, rule.pattern), texts.TipsCaption,
                        MB_OK | MB_ICONWARNING);
    }
    return;
  }
  if (!recording->AddRule(rule)) {
    host_.ShowMessage(lang::FileListMessage(texts.FilesNotSaved, {recording->RulesPath()}),
                      texts.TipsCaption, MB_OK | MB_ICONWARNING);
  }
  EdtRulePattern.SetText("");
  ShowRules();
  // What it keeps out from now on may be stored already: asked once.
  const std::vector<int32_t> stored = PositionsDroppedBy(rule, host_.Store().docs);
  if (!stored.empty() &&
      host_.ShowMessage(lang::FormatText(texts.DropRuleMatches, static_cast<int>(stored.size())),
                        texts.TipsCaption, MB_YESNO | MB_ICONQUESTION) == IDYES) {
    host_.History().DeleteSelectDocs(stored);
  }
}

void PrivacyPanel::BtnDeleteRuleClick() {
  Recording* recording = host_.Recorder();
  if (!recording) return;
  const int row = ListBox_GetCurSel(LbPrivacyRules.hwnd());
  if (row < 0) return;
  if (!recording->DeleteRule(static_cast<size_t>(row))) {
    const lang::InterfaceTexts& texts = lang::Texts();
    host_.ShowMessage(lang::FileListMessage(texts.FilesNotSaved, {recording->RulesPath()}),
                      texts.TipsCaption, MB_OK | MB_ICONWARNING);
  }
  ShowRules();
  ListBox_SetCurSel(LbPrivacyRules.hwnd(),
                    std::min(row, ListBox_GetCount(LbPrivacyRules.hwnd()) - 1));
}

void PrivacyPanel::ShowRules() {
  Recording* recording = host_.Recorder();
  if (!LbPrivacyRules || !recording) return;
  const lang::InterfaceTexts& texts = lang::Texts();
  // The choices are in the language's texts, which are read after the
  // controls are made.
  if (ComboBox_GetCount(CmbRuleField.hwnd()) == 0) {
    for (RuleField field : kFields) AddRow(CmbRuleField, FieldText(field));
    for (RuleAction action : kActions) AddRow(CmbRuleAction, ActionText(action));
    ComboBox_SetCurSel(CmbRuleField.hwnd(), 1);
    ComboBox_SetCurSel(CmbRuleAction.hwnd(), 0);
  }
  SendMessageW(LbPrivacyRules.hwnd(), LB_RESETCONTENT, 0, 0);
  const std::vector<PrivacyRule>& rules = recording->rules();
  int widest = 0;
  const std::vector<RuleStatus>& statuses = recording->rule_statuses();
  for (size_t i = 0; i < rules.size(); ++i) {
    const PrivacyRule& rule = rules[i];
    const RuleStatus status = i < statuses.size() ? statuses[i] : RuleStatus{};
    std::string row;
    if (!status.understood) {
      row = lang::FormatText(texts.RuleUnknownRow, rule.unparsed);
    } else {
      row = ActionText(rule.action) + " | " + FieldText(rule.field) + " " +
            lang::FormatText(rule.regex ? texts.RuleRegexRow : texts.RuleTextRow, rule.pattern);
      if (status.broken) row += lang::FormatText(texts.RuleBrokenRow, status.reason);
    }
    const std::wstring text = Utf8ToWide(row);
    SendMessageW(LbPrivacyRules.hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    widest = std::max(widest, TextWidth(LbPrivacyRules.hwnd(), text));
  }
  // A broken rule's reason runs past the list's width: it scrolls sideways.
  SendMessageW(LbPrivacyRules.hwnd(), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
}

void PrivacyPanel::ShowState() {
  Recording* recording = host_.Recorder();
  if (!LblRecordingState || !recording) return;
  const lang::InterfaceTexts& texts = lang::Texts();
  switch (recording->State()) {
    case RecordingState::kPaused:
      LblRecordingState.SetText(texts.RecordingPaused);
      break;
    case RecordingState::kWindowsOff:
      LblRecordingState.SetText(texts.RecordingWindowsOff);
      break;
    case RecordingState::kPolicyOff:
      LblRecordingState.SetText(texts.RecordingPolicyOff);
      break;
    case RecordingState::kRulesUnreadable:
      LblRecordingState.SetText(texts.RecordingRulesUnreadable);
      break;
    case RecordingState::kOn:
      LblRecordingState.SetText("");
      break;
  }
}

}  // namespace zd
