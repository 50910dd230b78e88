// What the document trees do with keys, mouse moves and their menu, decided
// without a window: the window's handlers act on the answers.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>

#include "store/doc.h"
#include "tracking/tree_model.h"

namespace zd {

// Key codes the trees and lists look at (the VK_ values).
inline constexpr int kKeyEnter = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeySpace = 32;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyDelete = 46;
inline constexpr int kKeyF5 = 116;

enum class TreeKeyAction {
  kOpen,         // Enter, Space: OpenSelectedTreeDoc
  kDeleteNodes,  // Delete: TreeModel::DeleteSelectedNodes (nodes only, records stay)
  kNone,         // F5 (taken by the window before the tree sees it)
  kCopyCaption,  // any other key: the focused node's caption into the search box
};
TreeKeyAction TreeKeyDown(int key);

// The TreeView hit-test flags (TVHT_*).
inline constexpr unsigned kHitNowhere = 0x0001;
inline constexpr unsigned kHitOnIcon = 0x0002;
inline constexpr unsigned kHitOnLabel = 0x0004;
inline constexpr unsigned kHitOnIndent = 0x0008;
inline constexpr unsigned kHitOnButton = 0x0010;
inline constexpr unsigned kHitOnRight = 0x0020;
inline constexpr unsigned kHitOnStateIcon = 0x0040;
inline constexpr unsigned kHitAbove = 0x0100;
inline constexpr unsigned kHitBelow = 0x0200;
inline constexpr unsigned kHitToRight = 0x0400;
inline constexpr unsigned kHitToLeft = 0x0800;

// Whether the pointer rests on a node's icon, label or state icon and
// nowhere else: only there does the hint follow it.
bool HintHitAllowed(unsigned hit_flags);

// HintNode and the rule that keeps the tree's hint on the document under the
// pointer. The node is only compared, never read, so a deleted one is harmless.
class TreeHint {
 public:
  struct Update {
    bool cancel_hint = false;          // cancel the hint that is showing
    bool set_hint = false;             // the tree's hint becomes `hint`
    std::string hint;                  // the document path, or empty
    std::optional<std::string> panel;  // what LblHint shows, when it changes
  };
  // TreeMouseMove: `node` and `hit_flags` under the pointer.
  Update MouseMove(const TreeNode* node, unsigned hit_flags, const DocArray& docs);
  const TreeNode* hint_node() const { return hint_node_; }
  void Forget() { hint_node_ = nullptr; }

 private:
  const TreeNode* hint_node_ = nullptr;
};

// The check mark of "展开全部(&E)" and what it expands: TVDocs, TVPath and
// TVDoc (TVApp has no children).
class ExpandAllCommand {
 public:
  // MnExpandAllClick: flips the mark, then expands (marked) or collapses
  // every tree given (a null one: not made yet).
  void Toggle(std::initializer_list<TreeModel*> trees);
  // N23Click "折叠全部": clears the mark and collapses all.
  void CollapseAll(std::initializer_list<TreeModel*> trees);
  bool marked() const { return marked_; }

 private:
  bool marked_ = false;
};

// PmDocTreePopup: "打开所在的文件夹" only for a program's node.
bool ShowOpenDirEntry(const TreeNode* focused, const DocArray& docs);

}  // namespace zd
