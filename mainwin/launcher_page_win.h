// The outer page "我的启动": the search row, the inner page control InnerTabs
// with the document trees and the other inner pages, the vendor's panel on
// the right, the hint bar, and the hidden controls of the design.
#pragma once

#include <memory>
#include <vector>

#include "mainwin/browser_page_win.h"
#include "mainwin/doc_trees_win.h"
#include "mainwin/favourites_page_win.h"
#include "mainwin/note_page_win.h"
#include "mainwin/page_win.h"
#include "mainwin/search_row_win.h"
#include "mainwin/settings_page_win.h"
#include "mainwin/system_page_win.h"
#include "mainwin/tree_view_mirror_win.h"
#include "platform/handles_win.h"
#include "platform/image_list_win.h"
#include "tracking/tree_model.h"

namespace zd {

class LauncherPage : public Page {
 public:
  // Sent to the main window when the inner tab strip is pressed: with
  // kPressBegins before the press changes the tab, with kPressStays after a
  // press that left the tab as it was.
  static constexpr UINT kTabPressMessage = WM_APP + 7;
  static constexpr WPARAM kPressBegins = 0;
  static constexpr WPARAM kPressStays = 1;

  explicit LauncherPage(PageHost& host);
  ~LauncherPage() override;
  void Create(HWND parent);

  // The search row.
  Panel SearchRowPanel;
  Label ShapeSearch;
  Edit EdtSearch;
  Button BtnZDSearch;
  CheckBox CbAutoStart;
  // The inner pages and their tabs.
  TabControl InnerTabs;
  Panel WebSheet, ProgramsSheet, FoldersSheet, FilesSheet, AllSheet;
  TreeView TVDoc, TVApp, TVPath, TVFile;
  SystemPage system;
  FavouritesPage favourites;
  BrowserPage browser;
  NotePage note;
  SettingsPage settings;
  // Right panel and hint bar.
  Panel PnlRight;
  Panel PnlVendor;
  Label LblHint;
  // Hidden.
  ListBox WindowList;
  ListBox LbAutoRun;
  ListBox LbSearchResult;
  GroupBox AllDocsGroup;
  TreeView TVDocs;
  ProgressBar LoadProgress;
  Panel PnlNote;
  Panel AdvancedPanel;
  CheckBox CbAdvSet;
  Panel PnlRelate;
  ListBox LbRelation;
  Button BtnZDStart, BtnAddToQuickLaunch, BtnUnusedA, BtnUnusedB, BtnTimedShutdown, BtnSendMail;

  // The document trees as models, each mirrored by its TreeView.
  TreeModel tv_docs{"TVDocs"}, tv_doc{"TVDoc"}, tv_app{"TVApp"}, tv_path{"TVPath"},
      tv_file{"TVFile"};
  TrackerTrees Trees() { return {&tv_docs, {&tv_doc, &tv_app, &tv_path, &tv_file}}; }
  // What the trees and the search row do.
  DocTrees& doc_trees() { return doc_trees_; }
  SearchRow& search_row() { return search_row_; }
  TreeImageList* tree_images() { return tree_images_.get(); }

  // The sheet that shows a page of InnerTabs (page index, hidden pages counted).
  const Panel& SheetOfPage(int page_index) const;
  int active_page() const { return active_page_; }
  void ShowPage(int page_index);

  bool OnControlCommand(HWND control, UINT code) override;
  bool OnMenuCommand(Ui entry) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  bool OnContextMenu(HWND target, POINT screen) override;
  void Layout(int width, int height) override;
  bool OnNotify(const NMHDR& header);

  void SetTabStrip(UniqueBitmap strip) { tab_strip_ = std::move(strip); }
  // Inserting thousands of nodes (the start-up load) draws the trees once, after.
  void FreezeTrees(bool frozen);

  void TVControlChange();
  void TVControlMouseDown(WPARAM stage);
  void TVAllDocsDrawTab(const DRAWITEMSTRUCT& item);
  void MnZDAutoRunClick();

 private:
  std::vector<Page*> SubPages();

  UniqueBitmap tab_strip_;  // "monitorbtn"
  std::unique_ptr<TreeImageList> tree_images_;
  struct MirroredTree {
    TreeModel* model;
    std::unique_ptr<TreeViewMirror> mirror;
    const Panel* sheet;  // null: a tree of the design that is never shown
    bool attached = false;
  };
  // A tree control holds its model's items from the first time its sheet is
  // shown on: filling controls nobody looks at would cost every start (and
  // every rebuild) most of its time in the trees.
  void AttachShownTrees();
  std::vector<MirroredTree> tree_mirrors_;
  SearchRow search_row_{host_, *this};
  DocTrees doc_trees_{host_, *this};
  int active_page_ = 0;
  bool told_auto_start_failed_ = false;
};

}  // namespace zd
