// The document selection window ("文档自动启动"): the user
// picks the history documents meant for automatic start. Modal, owned by the
// main window, created on first use and kept.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launch/autorun_selection.h"
#include "platform/controls_win.h"
#include "platform/handles_win.h"
#include "platform/window_win.h"

namespace zd {

class AutorunSelectionWindow : public Window {
 public:
  // Opens a document as the open operations do (no message for a missing one).
  using OpenPath = std::function<void(const std::string& path)>;
  static std::unique_ptr<AutorunSelectionWindow> Create(HWND owner, OpenPath open);
  ~AutorunSelectionWindow() override;

  // The whole use: shows the rows of `docs` and waits until the window
  // closes. The result is what OK confirmed; nullopt for cancel or the frame's
  // close, which change nothing.
  std::optional<AutorunSelection::Confirmed> ShowDocSelection(DocArray& docs,
                                                              bool query_auto_run_doc);

  // The steps of that use, for the tests: fill and show, then end.
  void Open(const DocArray& docs, bool query_auto_run_doc);
  void BtnConfirmClick();
  void BtnCancelClick();

  Label LblSelectDocHint;
  ListBox LbSelectDoc;
  CheckBox CbNotQuery;
  CheckBox CbSelectAll;
  Button BtnConfirm;
  Button BtnCancel;
  Label LblResetHint;

  const AutorunSelection& model() const { return model_; }
  void CbSelectAllClick();
  void LbSelectDocClick();
  void LbSelectDocDblClick();
  void CbNotQueryClick();

 private:
  explicit AutorunSelectionWindow(OpenPath open) : open_(std::move(open)) {}
  void OnCreate() override;
  void Layout() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  void ShowSelection();
  std::vector<bool> ListSelection() const;
  void End(bool confirmed);

  OpenPath open_;
  HWND owner_ = nullptr;
  AutorunSelection model_;
  const DocArray* docs_ = nullptr;
  bool confirmed_ = false;
};

}  // namespace zd
