// The privacy part of the settings page: the rules (a pattern on title,
// address or program; never record, or record the host or program only),
// and one line saying why nothing new is recorded when that is so.
#pragma once

#include "mainwin/page_win.h"
#include "tracking/recording.h"

namespace zd {

class PrivacyPanel {
 public:
  explicit PrivacyPanel(PageHost& host) : host_(host) {}
  // The controls on the settings page `page`, at design rectangles.
  void Create(HWND page);

  GroupBox GbZDPrivacy;
  ListBox LbPrivacyRules;
  Edit EdtRulePattern;
  Control CmbRuleField;
  Control CmbRuleAction;
  CheckBox CbRuleRegex;
  Button BtnAddRule;
  Button BtnDeleteRule;
  Label LblRecordingState;

  bool OnControlCommand(HWND control, UINT code);
  void BtnAddRuleClick();
  void BtnDeleteRuleClick();
  // The rules' list as the recording holds them, and the choices of a new
  // rule in the language's texts.
  void ShowRules();
  // The line saying why nothing new is recorded; empty while recording.
  void ShowState();

 private:
  PageHost& host_;
};

}  // namespace zd
