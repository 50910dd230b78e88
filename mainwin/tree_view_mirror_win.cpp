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

namespace {

bool IsWithin(const TreeNode* node, const TreeNode& ancestor) {
  for (; node; node = node->parent) {
    if (node == &ancestor) return true;
  }
  return false;
}

// Counts the mirror's own changes of the control's selection while it lives.
class OwnChange {
 public:
  explicit OwnChange(int& depth) : depth_(depth) { ++depth_; }
  ~OwnChange() { --depth_; }
  OwnChange(const OwnChange&) = delete;
  OwnChange& operator=(const OwnChange&) = delete;

 private:
  int& depth_;
};

}  // namespace

void TreeViewMirror::NodeDeleted(const TreeNode& node) {
  HTREEITEM handle = ItemOf(&node);
  // The model drops its focus with the node; the control would move its
  // caret to a neighbour instead, which the model would not know of.
  const bool takes_caret = IsWithin(NodeOf(Caret()), node);
  // The control deletes the item's children with it.
  Forget(node);
  if (!handle) return;
  OwnChange own(own_change_);
  if (takes_caret) SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, 0);
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(handle));
}

void TreeViewMirror::Cleared() {
  items_.clear();
  OwnChange own(own_change_);
  SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

HTREEITEM TreeViewMirror::Caret() const {
  return reinterpret_cast<HTREEITEM>(SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TreeViewMirror::SetItemSelected(HTREEITEM item, bool selected) const {
  if (!item) return;
  TVITEMW state{};
  state.mask = TVIF_HANDLE | TVIF_STATE;
  state.hItem = item;
  state.stateMask = TVIS_SELECTED;
  state.state = selected ? TVIS_SELECTED : 0;
  SendMessageW(tree_, TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state));
}

void TreeViewMirror::NodeSelected(const TreeNode& node, bool selected) {
  SetItemSelected(ItemOf(&node), selected);
}

void TreeViewMirror::NodeFocused(const TreeNode* node) {
  HTREEITEM item = node ? ItemOf(node) : nullptr;
  HTREEITEM old = Caret();
  if (item == old) return;
  {
    OwnChange own(own_change_);
    SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }
  // Moving the caret selects the new item alone; the model's marks stand.
  const TreeNode* old_node = NodeOf(old);
  if (old_node) SetItemSelected(old, old_node->selected);
  if (node) SetItemSelected(item, node->selected);
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
