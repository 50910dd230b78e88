#include "mainwin/tree_view_mirror_win.h"

#include "platform/wide_win.h"

namespace zd {

TreeViewMirror::TreeViewMirror(HWND tree_view)
    : tree_(tree_view),
      control_proc_(reinterpret_cast<WNDPROC>(GetClassLongPtrW(tree_view, GCLP_WNDPROC))) {}

LRESULT TreeViewMirror::Send(UINT msg, WPARAM wp, LPARAM lp) const {
  // The subclasses in front of the control (ours, for its input) have no use
  // for its own messages, and under Wine each message that passes the
  // subclass chain asks the server for it (a window property), which costs
  // far more than inserting an item.
  // https://learn.microsoft.com/windows/win32/api/winuser/nf-winuser-callwindowprocw
  if (!control_proc_) return SendMessageW(tree_, msg, wp, lp);
  return CallWindowProcW(control_proc_, tree_, msg, wp, lp);
}

void TreeViewMirror::NodeInserted(const TreeNode& node, const TreeNode* parent,
                                  const TreeNode* after) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = TVI_ROOT;
  if (parent) {
    insert.hParent = ItemOf(parent);
    if (!insert.hParent) return;  // its parent is not shown
  }
  // A node that follows a sibling is the last one (shown or not, that
  // sibling comes before it). TVI_LAST says so without an item handle, which
  // some controls check by a walk over all their items.
  insert.hInsertAfter = after ? TVI_LAST : TVI_FIRST;
  std::wstring text = Utf8ToWide(node.caption);
  TVITEMW& item = insert.item;
  item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
  item.pszText = text.data();
  item.iImage = node.image;
  item.iSelectedImage = node.selected_image;
  item.lParam = reinterpret_cast<LPARAM>(&node);
  auto handle =
      reinterpret_cast<HTREEITEM>(Send(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
  if (handle) items_[&node] = handle;
}

void TreeViewMirror::Forget(const TreeNode& node) {
  if (made_visible_ == &node) made_visible_ = nullptr;
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
  if (takes_caret) Send(TVM_SELECTITEM, TVGN_CARET, 0);
  Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(handle));
}

void TreeViewMirror::Cleared() {
  items_.clear();
  made_visible_ = nullptr;
  OwnChange own(own_change_);
  Send(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
}

HTREEITEM TreeViewMirror::Caret() const {
  return reinterpret_cast<HTREEITEM>(Send(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void TreeViewMirror::SetItemSelected(HTREEITEM item, bool selected) const {
  if (!item) return;
  TVITEMW state{};
  state.mask = TVIF_HANDLE | TVIF_STATE;
  state.hItem = item;
  state.stateMask = TVIS_SELECTED;
  state.state = selected ? TVIS_SELECTED : 0;
  Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&state));
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
    Send(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }
  // Moving the caret selects the new item alone; the model's marks stand.
  const TreeNode* old_node = NodeOf(old);
  if (old_node) SetItemSelected(old, old_node->selected);
  if (node) SetItemSelected(item, node->selected);
}

void TreeViewMirror::NodeExpanded(const TreeNode& node, bool expanded) {
  if (HTREEITEM handle = ItemOf(&node)) {
    Send(TVM_EXPAND, expanded ? TVE_EXPAND : TVE_COLLAPSE, reinterpret_cast<LPARAM>(handle));
  }
}

void TreeViewMirror::NodeImageChanged(const TreeNode& node) {
  HTREEITEM handle = ItemOf(&node);
  if (!handle) return;
  TVITEMW item{};
  item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
  item.hItem = handle;
  item.iImage = node.image;
  item.iSelectedImage = node.selected_image;
  Send(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeViewMirror::NodeMadeVisible(const TreeNode& node) {
  if (held_) {
    made_visible_ = &node;
  } else {
    EnsureVisible(node);
  }
}

void TreeViewMirror::EnsureVisible(const TreeNode& node) const {
  if (HTREEITEM handle = ItemOf(&node)) {
    Send(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(handle));
  }
}

void TreeViewMirror::HoldDrawing(bool held) {
  if (held == held_) return;
  held_ = held;
  SendMessageW(tree_, WM_SETREDRAW, held ? FALSE : TRUE, 0);
  if (held) return;
  const TreeNode* shown = made_visible_;
  made_visible_ = nullptr;
  if (shown) EnsureVisible(*shown);
  InvalidateRect(tree_, nullptr, TRUE);
}

const TreeNode* TreeViewMirror::NodeOf(HTREEITEM handle) const {
  if (!handle) return nullptr;
  TVITEMW item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = handle;
  if (!Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return nullptr;
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
