// The main window's side of document tracking: the trees and their images,
// the refresh triggers (timer, F5, tabs) and the message pump between items.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <cstdio>

#include "mainwin/form_model.h"
#include "mainwin/main_window_win.h"
#include "mainwin/win_util_win.h"
#include "platform/errors.h"

namespace zd {
namespace {

std::string Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
  return text;
}

// A press on the inner tab strip refreshes what the current tab shows before
// the click changes the tab.
LRESULT CALLBACK TabStripProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
  if (msg == WM_LBUTTONDOWN || msg == WM_RBUTTONDOWN) {
    SendMessageW(GetAncestor(hwnd, GA_ROOT), TFrmMain::kTabPressMessage, 0, 0);
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

TreeModel& TFrmMain::tree(std::string_view name) {
  if (name == "TVDocs") return tv_docs_;
  if (name == "TVApp") return tv_app_;
  if (name == "TVPath") return tv_path_;
  return tv_doc_;
}

int TFrmMain::ActiveTabIndex() const { return TabIndexOfPage(active_page_); }

void TFrmMain::CreateTracking() {
  tree_images_ = std::make_unique<TreeImageList>(Px(16));
  const std::pair<const char*, TreeModel*> trees[] = {
      {"TVDocs", &tv_docs_}, {"TVDoc", &tv_doc_}, {"TVApp", &tv_app_}, {"TVPath", &tv_path_}};
  for (const auto& [name, model] : trees) {
    HWND view = Control(name);
    SendMessageW(view, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(tree_images_->handle()));
    tree_mirrors_.push_back(std::make_unique<TreeViewMirror>(view));
    model->SetMirror(tree_mirrors_.back().get());
  }
  WindowSystem* windows = deps_.windows;
  if (!windows) {
    own_windows_ = MakeSystemWindowSystem();
    windows = own_windows_.get();
  }
  ShellWindows* shell = deps_.shell;
  if (!shell) {
    own_shell_ = MakeSystemShellWindows();
    shell = own_shell_.get();
  }
  TrackerHooks hooks;
  hooks.pump = [this] { PumpMessages(); };
  hooks.sleep_ms = [](int ms) { Sleep(static_cast<DWORD>(ms)); };
  hooks.step_progress = [this] { SendMessageW(Control("ProgressBar1"), PBM_STEPIT, 0, 0); };
  hooks.reset_progress = [this] { SendMessageW(Control("ProgressBar1"), PBM_SETPOS, 0, 0); };
  hooks.today = Today;
  tracker_ =
      std::make_unique<DocTracker>(store_, TrackerTrees{&tv_docs_, &tv_doc_, &tv_app_, &tv_path_},
                                   *windows, *shell, tree_images_.get(), hooks);
  SetWindowSubclass(Control("TVControl"), TabStripProc, 2, 0);
}

void TFrmMain::PumpMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Not ours to swallow: the main loop must still see it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (FormShortCut(msg)) continue;
    if (hwnd_ && IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

bool TFrmMain::FormShortCut(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_F5 || !hwnd_) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  tracker_->CheckKindDocs(TreeKindOfPage(active_page_));
  return true;
}

void TFrmMain::TVControlMouseDown() {
  SendMessageW(Control("LbSearchResult"), LB_RESETCONTENT, 0, 0);
  SetWindowTextW(Control("PnlHint"), L"");
  tracker_->CheckKindDocs(TreeKindOfPage(active_page_));
}

void TFrmMain::TimerCheckDocsTimer() {
  try {
    if (IsChecked(Control("CbZDRefresh"))) tracker_->CheckAllDocs();
  } catch (...) {
    RecordCurrentException(__func__);
    KillTimer(hwnd_, kTimerCheckDocs);
  }
}

}  // namespace zd
