// TFrmAutorunDoc, the document selection window ("文档自动启动"): the user
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

namespace zd {

class TFrmAutorunDoc {
 public:
  // Opens a document as the open operations do (no message for a missing one).
  using OpenPath = std::function<void(const std::string& path)>;
  static std::unique_ptr<TFrmAutorunDoc> Create(HINSTANCE instance, HWND owner, OpenPath open);
  ~TFrmAutorunDoc();
  TFrmAutorunDoc(const TFrmAutorunDoc&) = delete;
  TFrmAutorunDoc& operator=(const TFrmAutorunDoc&) = delete;

  HWND hwnd() const { return hwnd_; }

  // The whole use: shows the rows of `docs` and waits until the window
  // closes. The result is what OK confirmed; nullopt for cancel or the frame's
  // close, which change nothing.
  std::optional<AutorunSelection::Confirmed> ShowDocSelection(DocArray& docs,
                                                              bool query_auto_run_doc);

  // The steps of that use, for the tests: fill and show, then end.
  void Open(const DocArray& docs, bool query_auto_run_doc);
  void BtnConfirmClick();
  void SpeedButton2Click();

  Label LblSelectDocHint;
  ListBox LbSelectDoc;
  CheckBox CbNotQuery;
  CheckBox CbSelectAll;
  Button BtnConfirm;
  Button SpeedButton2;
  Label LblResetHint;

  const AutorunSelection& model() const { return model_; }
  void CbSelectAllClick();
  void LbSelectDocClick();
  void LbSelectDocDblClick();
  void CbNotQueryClick();

 private:
  explicit TFrmAutorunDoc(OpenPath open);
  template <typename T>
  friend LRESULT CALLBACK ObjectWindowProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp);
  void CreateControls();
  void Layout();
  void ShowSelection();
  std::vector<bool> ListSelection() const;
  void End(bool confirmed);

  OpenPath open_;
  HWND hwnd_ = nullptr;
  HWND owner_ = nullptr;
  Fonts fonts_;
  ControlFactory factory_;
  AutorunSelection model_;
  const DocArray* docs_ = nullptr;
  bool running_ = false;
  bool confirmed_ = false;
};

}  // namespace zd
