// A Win32 TreeView as the mirror of a document tree: the model drives it.
#pragma once

#include <windows.h>
// windows.h must come first
#include <commctrl.h>

#include <unordered_map>

#include "tracking/tree_model.h"

namespace zd {

class TreeViewMirror : public TreeMirror {
 public:
  explicit TreeViewMirror(HWND tree_view);

  void NodeInserted(const TreeNode& node, const TreeNode* parent, const TreeNode* after) override;
  void NodeDeleted(const TreeNode& node) override;
  void Cleared() override;
  void NodeExpanded(const TreeNode& node, bool expanded) override;
  void NodeMadeVisible(const TreeNode& node) override;
  void NodeImageChanged(const TreeNode& node) override;
  // The multiple selection: TVIS_SELECTED on every selected node, the
  // control's own selection (its caret) on the focused one.
  void NodeSelected(const TreeNode& node, bool selected) override;
  void NodeFocused(const TreeNode* node) override;

  // Inserting thousands of nodes (the start-up load, a rebuild) draws the
  // control once, after: while held, the control does not draw, and the node
  // made visible last is scrolled to at the release, once the control has
  // placed its items again.
  void HoldDrawing(bool held);

  // A TVN_SELCHANGED that this mirror caused itself (moving the caret, or a
  // deletion that took the caret's item): the model knows already.
  bool OwnSelectionChange() const { return own_change_ > 0; }

  // The model node an item shows; null for an item this mirror did not make.
  const TreeNode* NodeOf(HTREEITEM item) const;
  // The item showing a node; null when the node is not shown.
  HTREEITEM ItemOf(const TreeNode* node) const;
  HWND hwnd() const { return tree_; }

 private:
  void Forget(const TreeNode& node);
  void SetItemSelected(HTREEITEM item, bool selected) const;
  HTREEITEM Caret() const;

  void EnsureVisible(const TreeNode& node) const;
  // A TVM_ message, handed to the control's own procedure.
  LRESULT Send(UINT msg, WPARAM wp, LPARAM lp) const;

  HWND tree_;
  WNDPROC control_proc_;
  int own_change_ = 0;
  bool held_ = false;
  const TreeNode* made_visible_ = nullptr;  // while held
  std::unordered_map<const TreeNode*, HTREEITEM> items_;
};

}  // namespace zd
