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
  explicit TreeViewMirror(HWND tree_view) : tree_(tree_view) {}

  void NodeInserted(const TreeNode& node, const TreeNode* parent, const TreeNode* after) override;
  void NodeDeleted(const TreeNode& node) override;
  void Cleared() override;
  void NodeExpanded(const TreeNode& node, bool expanded) override;
  void NodeMadeVisible(const TreeNode& node) override;

  // The model node an item shows; null for an item this mirror did not make.
  const TreeNode* NodeOf(HTREEITEM item) const;
  // The item showing a node; null when the node is not shown.
  HTREEITEM ItemOf(const TreeNode* node) const;
  HWND hwnd() const { return tree_; }

 private:
  void Forget(const TreeNode& node);

  HWND tree_;
  std::unordered_map<const TreeNode*, HTREEITEM> items_;
};

}  // namespace zd
