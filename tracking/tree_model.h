// The document trees as models: a Win32 TreeView mirrors each one, and every
// rule of the registration is tested against the model natively.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zd {

// The data of every tree node: the position in DocArray of the record whose
// registration created it.
struct TNodeData {
  std::string text;  // never filled
  int32_t index = 0;
};

struct TreeNode {
  std::string caption;
  int image = 0;
  int selected_image = 0;
  TNodeData data;
  bool expanded = false;
  bool selected = false;  // one of the tree's selected nodes (see TreeModel::Select)
  TreeNode* parent = nullptr;
  std::vector<std::unique_ptr<TreeNode>> children;
};

// A TreeView control that shows a model. Only TreeModel calls it.
class TreeMirror {
 public:
  virtual ~TreeMirror() = default;
  // `parent` null: a top-level node. `after` null: the first child (or
  // root); otherwise the last one, right after its sibling `after`.
  virtual void NodeInserted(const TreeNode& node, const TreeNode* parent,
                            const TreeNode* after) = 0;
  // Before the node is freed, once for the node only: its children are still
  // attached, and go with it.
  virtual void NodeDeleted(const TreeNode& node) = 0;
  virtual void Cleared() = 0;
  virtual void NodeExpanded(const TreeNode& node, bool expanded) = 0;
  virtual void NodeMadeVisible(const TreeNode& node) = 0;
  // The node's picture changed (a program's icon read after the load).
  virtual void NodeImageChanged(const TreeNode& /*node*/) {}
  // The multiple selection: a node's selected look changed, and the node the
  // keyboard acts on (the control's caret; null: none). A control that tells
  // the model about the user's clicks must not report these back.
  virtual void NodeSelected(const TreeNode& /*node*/, bool /*selected*/) {}
  virtual void NodeFocused(const TreeNode* /*node*/) {}
};

class TreeModel {
 public:
  explicit TreeModel(std::string name = {}) : name_(std::move(name)) {}
  TreeModel(const TreeModel&) = delete;
  TreeModel& operator=(const TreeModel&) = delete;

  const std::string& name() const { return name_; }
  void SetMirror(TreeMirror* mirror);  // replays the current nodes into it

  // A bulk change (the history load, a rebuild): the mirror is emptied at
  // once and hears nothing until the last EndBatch, which replays the tree
  // into it and then shows the node made visible last. Telling a control of
  // every insertion, and scrolling it to each group found, costs more per
  // record than all the rest of a registration. Batches nest.
  void BeginBatch();
  void EndBatch();

  const std::vector<std::unique_ptr<TreeNode>>& roots() const { return roots_; }
  bool empty() const { return roots_.empty(); }
  size_t CountNodes() const;

  // A new top-level node before all others.
  TreeNode* InsertRootFirst(const std::string& caption, int image, int32_t index);
  // A child after its siblings; with a null parent, a top-level node after all others.
  TreeNode* AppendChild(TreeNode* parent, const std::string& caption, int image, int32_t index);
  void Delete(TreeNode* node);
  void Clear();
  void Expand(TreeNode* node, bool expanded);
  // The node's picture, selected or not.
  void SetImage(TreeNode* node, int image);
  void ExpandAll(bool expanded = true);
  // Expands the node's ancestors and scrolls the view to it.
  void MakeVisible(TreeNode* node);
  // The control expanded or collapsed a node by itself: the model follows
  // without telling the control again.
  void NoteExpanded(TreeNode* node, bool expanded);

  // Multiple selection with Ctrl and Shift, as the list controls do it: a
  // plain pick selects the node alone; Ctrl toggles it; Shift selects the
  // visible nodes from the anchor (the last plain or Ctrl pick) to it, in
  // place of the selection, or added to it with Ctrl too. The picked node
  // becomes the focused one. A null node changes nothing.
  void Select(TreeNode* node, bool ctrl = false, bool shift = false);
  void ClearSelection();
  // A right press, before the tree menu opens: on a node of the selection the
  // selection stays (the menu acts on all of it) and the node becomes the
  // focused one; any other node is selected alone. A null node changes nothing.
  void SelectForMenu(TreeNode* node);
  // The node the single-node commands act on (the control's selected node).
  TreeNode* focused() const { return focused_; }
  // In tree order.
  std::vector<TreeNode*> SelectedNodes() const;
  // The selected nodes, or the focused node alone when none is marked.
  std::vector<TreeNode*> SelectedOrFocused() const;
  // The selected nodes without those whose ancestor is selected too (they go
  // with it); the focused node alone when nothing is marked selected.
  std::vector<TreeNode*> SelectedTopmost() const;
  // The Delete key: removes the nodes of SelectedTopmost, each once.
  size_t DeleteSelectedNodes();

  // The first node in tree order (a node, its children, then its next
  // sibling) whose caption equals `text` ignoring ASCII case. Answered from a
  // caption index, so it does not walk the tree: captions must not be changed
  // after insertion.
  TreeNode* FindNodeByText(std::string_view text, bool make_visible);

 private:
  TreeNode* NewNode(TreeNode* parent, const std::string& caption, int image, int32_t index,
                    bool first);
  void Unindex(TreeNode* node);  // the node and its descendants
  void SetSelected(TreeNode* node, bool selected);
  void Focus(TreeNode* node);
  std::vector<TreeNode*> VisibleNodes() const;
  void Replay(const TreeNode& node, const TreeNode* parent, const TreeNode* after);
  // The mirror to tell of a change now: none during a batch.
  TreeMirror* Live() const { return batch_ > 0 ? nullptr : mirror_; }

  std::string name_;
  std::vector<std::unique_ptr<TreeNode>> roots_;
  TreeMirror* mirror_ = nullptr;
  int batch_ = 0;
  TreeNode* made_visible_ = nullptr;  // during a batch, the last one
  size_t count_ = 0;
  TreeNode* focused_ = nullptr;
  TreeNode* anchor_ = nullptr;
  // Caption -> the nodes that carry it (in no particular order), with keys
  // that compare ignoring ASCII case and are looked up without a copy.
  struct CaptionHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const;
  };
  struct CaptionEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
  };
  std::unordered_map<std::string, std::vector<TreeNode*>, CaptionHash, CaptionEqual> by_caption_;
};

}  // namespace zd
