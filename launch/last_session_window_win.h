// The question of "恢复上次打开的文档": what will open, each row with a tick
// that leaves it out. Modal, owned by the main window, made on first use.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "launch/last_session.h"
#include "platform/controls_win.h"
#include "platform/window_win.h"

namespace zd {

class LastSessionWindow : public Window {
 public:
  static std::unique_ptr<LastSessionWindow> Create(HWND owner, int language);
  ~LastSessionWindow() override;

  // The whole use: shows `docs`, every one ticked, and waits until the
  // window closes. The paths still ticked when "打开" was pressed; nullopt
  // for cancel or the frame's close.
  std::optional<std::vector<std::string>> Ask(const std::vector<SessionDoc>& docs);

  // The steps of that use, for the tests: fill and show, then end.
  void Open(const std::vector<SessionDoc>& docs);
  std::vector<std::string> Ticked() const;
  void BtnOpenSessionClick();
  void BtnCancelSessionClick();

  Label LblSessionQuestion;
  // A row's tick is its selection (a multiple-selection list): the keyboard
  // ticks with Space, other programs read it with LB_GETSEL and the row
  // with LB_GETTEXT.
  ListBox LbSessionDocs;
  Button BtnOpenSession;
  Button BtnCancelSession;

 private:
  LastSessionWindow(HWND owner, int language) : owner_(owner), language_(language) {}
  void OnCreate() override;
  void Layout() override;
  LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
  static LRESULT CALLBACK ListProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR self);
  void LbSessionDocsDrawItem(const DRAWITEMSTRUCT& item) const;
  void LbSessionDocsChange();
  void End(bool confirmed);

  HWND owner_;
  int language_;
  std::vector<SessionDoc> docs_;
  bool confirmed_ = false;
};

}  // namespace zd
