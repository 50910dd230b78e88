// The document trees at work: what the four trees do with keys, mouse
// presses, double-clicks and pointer moves, their hints, their multiple
// selection with Ctrl and Shift, and the tree menu PmDocTree. The trees
// themselves (controls, models and mirrors) belong to the launcher page.
#pragma once

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <vector>

#include "mainwin/page_win.h"
#include "mainwin/tree_view_mirror_win.h"
#include "tracking/tree_input.h"
#include "tracking/tree_model.h"

namespace zd {

class LauncherPage;

class DocTrees {
 public:
  struct Tree {
    const TreeView* view;
    TreeModel* model;
    TreeViewMirror* mirror;
  };

  DocTrees(PageHost& host, LauncherPage& page);
  ~DocTrees();
  DocTrees(const DocTrees&) = delete;
  DocTrees& operator=(const DocTrees&) = delete;

  // Once the trees exist: their key and mouse messages come here first.
  void Attach(std::vector<Tree> trees);

  // The tree of the active page (TVDocs on the system page); null on a page
  // without one, where the tree commands do nothing.
  TreeModel* CurrentTree();
  bool IsTree(HWND window) const { return Find(window) != nullptr; }

  bool OnNotify(const NMHDR& header);
  bool OnMenuCommand(Ui entry);
  // PmDocTree is about to open: "打开所在的文件夹" only for a program's node.
  void PmDocTreePopup();
  // "删除所有" and BtnZDDeleteAllDocs: asked first, in a box of its own.
  void BtnZDDeleteAllDocsClick();
  // "删除并不再记录": the node's host, program or folder leaves the history
  // and a drop rule keeps it out from now on.
  void ForgetAndStopRecordingItemClick(const TreeNode* node);

  const TreeHint& hint() const { return hint_; }
  bool expand_all_marked() const { return expand_all_.marked(); }

 private:
  static LRESULT CALLBACK TreeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR self);
  const Tree* Find(HWND window) const;
  // The model node of an item: the mirror hands out the model's own nodes.
  static TreeNode* NodeAt(const Tree& tree, HTREEITEM item);
  // Before the control's own handling; true when the message is used up.
  bool TreeMessage(const Tree& tree, UINT msg, WPARAM wp, LPARAM lp);
  void TreeKeyDown(const Tree& tree, int key);
  bool TreeMouseDown(const Tree& tree, UINT msg, WPARAM keys, POINT at);
  void TreeDblClick(const Tree& tree, POINT at);
  void TreeMouseMove(const Tree& tree, POINT at);
  void TreeSelectionChanged(const Tree& tree, const NMTREEVIEWW& change);
  // The trees were rebuilt or emptied: nothing shown refers to the old nodes.
  void AfterHistoryChange();

  PageHost& host_;
  LauncherPage& page_;
  std::vector<Tree> trees_;
  TreeHint hint_;  // HintNode
  ExpandAllCommand expand_all_;
};

}  // namespace zd
