#include "tracking/tree_input.h"

#include "tracking/doc_kinds.h"
#include "tracking/node_data.h"

namespace zd {

TreeKeyAction TreeKeyDown(int key) {
  switch (key) {
    case kKeyEnter:
    case kKeySpace:
      return TreeKeyAction::kOpen;
    case kKeyDelete:
      return TreeKeyAction::kDeleteNodes;
    case kKeyF5:
      return TreeKeyAction::kNone;
    default:
      return TreeKeyAction::kCopyCaption;
  }
}

bool HintHitAllowed(unsigned hit_flags) {
  constexpr unsigned kOnItem = kHitOnIcon | kHitOnLabel | kHitOnStateIcon;
  return (hit_flags & ~kOnItem) == 0;
}

TreeHint::Update TreeHint::MouseMove(const TreeNode* node, unsigned hit_flags,
                                     const DocArray& docs) {
  Update update;
  if (node == hint_node_) return update;
  update.cancel_hint = true;
  if (!HintHitAllowed(hit_flags)) return update;
  hint_node_ = node;
  update.set_hint = true;
  // A node without a document (or outside the history) leaves LblHint as it is.
  if (const std::optional<std::string> path = GetNodeDocPath(node, docs)) {
    update.hint = *path;
    update.panel = *path;
  }
  return update;
}

void ExpandAllCommand::Toggle(TreeModel* docs, TreeModel* path, TreeModel* doc) {
  marked_ = !marked_;
  for (TreeModel* tree : {docs, path, doc}) {
    if (tree) tree->ExpandAll(marked_);
  }
}

void ExpandAllCommand::CollapseAll(TreeModel* docs, TreeModel* path, TreeModel* doc) {
  marked_ = false;
  for (TreeModel* tree : {docs, path, doc}) {
    if (tree) tree->ExpandAll(false);
  }
}

bool ShowOpenDirEntry(const TreeNode* focused, const DocArray& docs) {
  if (!focused) return false;
  const int32_t index = focused->data.index;
  if (index < 0 || static_cast<size_t>(index) >= docs.size()) return false;
  return docs[static_cast<size_t>(index)].doctype == DocKind::kProgram;
}

}  // namespace zd
