#include "mainwin/tree_view_mirror_win.h"

#include "platform/wide_win.h"

namespace zd {

void TreeViewMirror::NodeInserted(const TreeNode& node, const TreeNode* parent,
                                  const TreeNode* after) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  if (parent) {
    insert.hParent = ItemOf(parent);
    if (!insert.hParent) return;  // its parent is not shown
  }
  insert.hInsertAfter = TVI_FIRST;
  if (after) {
    insert.hInsertAfter = ItemOf(after);
    // A sibling that is not shown: keep the node, at the end.
    if (!insert.hInsertAfter) insert.hInsertAfter = TVI_LAST;
  }
  std::wstring text = Utf8ToWide(node.caption);
  TVITEMW& item = insert.item;
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  item.pszText = text.data();
  item.iImage = node.image;
  item.iSelectedImage = node.selected_image;
  item.lParam = reinterpret_cast<LPARAM>(&node);
  auto handle = reinterpret_cast<HTREEITEM>(
      SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (handle) items_[&node] = handle;
}

void TreeViewMirror::Forget(const TreeNode& node) {
  items_.erase(&node);
  for (const auto& child : node.children) Forget(*child);
}

void TreeViewMirror::NodeDeleted(const TreeNode& node) {
  HTREEITEM handle = ItemOf(&node);
  // The control deletes the item's children with it.
  Forget(node);
  if (handle) SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(handle));
}

void TreeViewMirror::Cleared() {
  items_.clear();
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

void TreeViewMirror::NodeExpanded(const TreeNode& node, bool expanded) {
  if (HTREEITEM handle = ItemOf(&node)) {
    SendMessageW(tree_, TVM_EXPAND, expanded ? TVE_EXPAND : TVE_COLLAPSE,
                 reinterpret_cast<LPARAM>(handle));
  }
}

void TreeViewMirror::NodeMadeVisible(const TreeNode& node) {
  if (HTREEITEM handle = ItemOf(&node)) {
    SendMessageW(tree_, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(handle));
  }
}

const TreeNode* TreeViewMirror::NodeOf(HTREEITEM handle) const {
  if (!handle) return nullptr;
  TVITEMW item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = handle;
  if (!SendMessageW(tree_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
  // Only a node that is still shown by this very item: never a freed one.
  const auto* node = reinterpret_cast<const TreeNode*>(item.lParam);
  auto found = items_.find(node);
  return found != items_.end() && found->second == handle ? node : nullptr;
}

HTREEITEM TreeViewMirror::ItemOf(const TreeNode* node) const {
  auto found = items_.find(node);
  return found != items_.end() ? found->second : nullptr;
}

}  // namespace zd
