#include "tracking/tree_model.h"

#include <algorithm>
#include <functional>

#include "platform/utf8.h"

namespace zd {
namespace {

using NodeList = std::vector<std::unique_ptr<TreeNode>>;

size_t PositionIn(const NodeList& list, const TreeNode* node) {
  for (size_t i = 0; i < list.size(); ++i) {
    if (list[i].get() == node) return i;
  }
  return list.size();
}

// The sibling positions from the top level down to the node: comparing two of
// them lexicographically gives tree order (an ancestor is a prefix, so first).
std::vector<size_t> TreePosition(const TreeNode* node, const NodeList& roots) {
  std::vector<size_t> position;
  for (; node; node = node->parent) {
    position.push_back(PositionIn(node->parent ? node->parent->children : roots, node));
  }
  std::reverse(position.begin(), position.end());
  return position;
}

template <typename Visit>
void ForEachNode(const NodeList& list, Visit&& visit) {
  for (const auto& node : list) {
    visit(*node);
    ForEachNode(node->children, visit);
  }
}

// The node itself or one of its ancestors is `top`.
bool IsWithin(const TreeNode* node, const TreeNode* top) {
  for (; node; node = node->parent) {
    if (node == top) return true;
  }
  return false;
}

bool HasSelectedAncestor(const TreeNode* node) {
  for (const TreeNode* up = node->parent; up; up = up->parent) {
    if (up->selected) return true;
  }
  return false;
}

}  // namespace

size_t TreeModel::CaptionHash::operator()(std::string_view text) const {
  // FNV-1a over the case-folded bytes.
  uint32_t hash = 2166136261u;
  for (char c : text) {
    hash ^= static_cast<unsigned char>(UpperAscii(c));
    hash *= 16777619u;
  }
  return hash;
}

bool TreeModel::CaptionEqual::operator()(std::string_view a, std::string_view b) const {
  return EqualsIgnoringAsciiCase(a, b);
}

void TreeModel::SetMirror(TreeMirror* mirror) {
  mirror_ = mirror;
  if (!mirror_) return;
  mirror_->Cleared();
  if (batch_ > 0) return;  // the batch's end replays
  const TreeNode* after = nullptr;
  for (const auto& root : roots_) {
    Replay(*root, nullptr, after);
    after = root.get();
  }
  ForEachNode(roots_, [this](const TreeNode& node) {
    if (node.expanded) mirror_->NodeExpanded(node, true);
    if (node.selected) mirror_->NodeSelected(node, true);
  });
  if (focused_) mirror_->NodeFocused(focused_);
}

void TreeModel::Replay(const TreeNode& node, const TreeNode* parent, const TreeNode* after) {
  mirror_->NodeInserted(node, parent, after);
  const TreeNode* previous = nullptr;
  for (const auto& child : node.children) {
    Replay(*child, &node, previous);
    previous = child.get();
  }
}

void TreeModel::BeginBatch() {
  // Emptied now, so that the control holds no item of a node freed meanwhile.
  if (batch_++ == 0 && mirror_) mirror_->Cleared();
}

void TreeModel::EndBatch() {
  if (batch_ == 0 || --batch_ > 0) return;
  TreeNode* shown = made_visible_;
  made_visible_ = nullptr;
  if (!mirror_) return;
  SetMirror(mirror_);
  if (shown) mirror_->NodeMadeVisible(*shown);
}

size_t TreeModel::CountNodes() const { return count_; }

TreeNode* TreeModel::NewNode(TreeNode* parent, const std::string& caption, int image, int32_t index,
                             bool first) {
  auto node = std::make_unique<TreeNode>();
  node->caption = caption;
  node->image = image;
  node->selected_image = image;
  node->data.index = index;
  node->parent = parent;
  TreeNode* raw = node.get();
  // Whatever can fail comes first: if the siblings or the index cannot grow,
  // the tree is left as it was. With room made, the rest cannot fail.
  NodeList& siblings = parent ? parent->children : roots_;
  if (siblings.size() == siblings.capacity()) {
    siblings.reserve(std::max<size_t>(4, siblings.size() * 2));
  }
  auto entry = by_caption_.find(std::string_view(caption));
  if (entry == by_caption_.end())
    entry = by_caption_.emplace(caption, std::vector<TreeNode*>()).first;
  entry->second.push_back(raw);
  siblings.push_back(std::move(node));
  // Rotating measures faster than inserting at the front (fewer pointer
  // writes per element); either is linear in the siblings.
  if (first) std::rotate(siblings.begin(), siblings.end() - 1, siblings.end());
  ++count_;
  return raw;
}

TreeNode* TreeModel::InsertRootFirst(const std::string& caption, int image, int32_t index) {
  TreeNode* node = NewNode(nullptr, caption, image, index, true);
  if (TreeMirror* mirror = Live()) mirror->NodeInserted(*node, nullptr, nullptr);
  return node;
}

TreeNode* TreeModel::AppendChild(TreeNode* parent, const std::string& caption, int image,
                                 int32_t index) {
  const NodeList& siblings = parent ? parent->children : roots_;
  const TreeNode* after = siblings.empty() ? nullptr : siblings.back().get();
  TreeNode* node = NewNode(parent, caption, image, index, false);
  if (TreeMirror* mirror = Live()) mirror->NodeInserted(*node, parent, after);
  return node;
}

void TreeModel::Unindex(TreeNode* node) {
  for (const auto& child : node->children) Unindex(child.get());
  const auto it = by_caption_.find(std::string_view(node->caption));
  if (it != by_caption_.end()) {
    std::vector<TreeNode*>& nodes = it->second;
    nodes.erase(std::remove(nodes.begin(), nodes.end(), node), nodes.end());
    if (nodes.empty()) by_caption_.erase(it);
  }
  --count_;
}

void TreeModel::Delete(TreeNode* node) {
  if (!node) return;
  NodeList& siblings = node->parent ? node->parent->children : roots_;
  const size_t position = PositionIn(siblings, node);
  if (position == siblings.size()) return;  // not a node of this tree
  if (TreeMirror* mirror = Live()) mirror->NodeDeleted(*node);
  if (IsWithin(focused_, node)) focused_ = nullptr;
  if (IsWithin(made_visible_, node)) made_visible_ = nullptr;
  if (IsWithin(anchor_, node)) anchor_ = nullptr;
  Unindex(node);
  siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(position));
}

void TreeModel::Clear() {
  roots_.clear();
  by_caption_.clear();
  count_ = 0;
  focused_ = nullptr;
  anchor_ = nullptr;
  made_visible_ = nullptr;
  if (TreeMirror* mirror = Live()) mirror->Cleared();
}

void TreeModel::Expand(TreeNode* node, bool expanded) {
  if (!node) return;
  node->expanded = expanded;
  if (TreeMirror* mirror = Live()) mirror->NodeExpanded(*node, expanded);
}

void TreeModel::SetImage(TreeNode* node, int image) {
  if (!node || (node->image == image && node->selected_image == image)) return;
  node->image = image;
  node->selected_image = image;
  if (TreeMirror* mirror = Live()) mirror->NodeImageChanged(*node);
}

void TreeModel::ExpandAll(bool expanded) {
  // As the control does it: only a node with children has a state to change.
  std::vector<TreeNode*> parents;
  ForEachNode(roots_, [&parents](const TreeNode& node) {
    if (!node.children.empty()) parents.push_back(const_cast<TreeNode*>(&node));
  });
  for (TreeNode* node : parents) Expand(node, expanded);
}

void TreeModel::MakeVisible(TreeNode* node) {
  if (!node) return;
  std::vector<TreeNode*> ancestors;
  for (TreeNode* up = node->parent; up; up = up->parent) ancestors.push_back(up);
  for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it) {
    if (!(*it)->expanded) Expand(*it, true);
  }
  if (batch_ > 0) {
    made_visible_ = node;
  } else if (mirror_) {
    mirror_->NodeMadeVisible(*node);
  }
}

void TreeModel::NoteExpanded(TreeNode* node, bool expanded) {
  if (node) node->expanded = expanded;
}

// ---- multiple selection ----

void TreeModel::SetSelected(TreeNode* node, bool selected) {
  if (node->selected == selected) return;
  node->selected = selected;
  if (TreeMirror* mirror = Live()) mirror->NodeSelected(*node, selected);
}

void TreeModel::Focus(TreeNode* node) {
  if (focused_ == node) return;
  focused_ = node;
  if (TreeMirror* mirror = Live()) mirror->NodeFocused(node);
}

std::vector<TreeNode*> TreeModel::VisibleNodes() const {
  std::vector<TreeNode*> visible;
  std::function<void(const NodeList&)> walk = [&](const NodeList& list) {
    for (const auto& node : list) {
      visible.push_back(node.get());
      if (node->expanded) walk(node->children);
    }
  };
  walk(roots_);
  return visible;
}

void TreeModel::ClearSelection() {
  for (TreeNode* node : SelectedNodes()) SetSelected(node, false);
}

void TreeModel::SelectForMenu(TreeNode* node) {
  if (!node) return;
  if (!node->selected) {
    Select(node);
    return;
  }
  Focus(node);
}

void TreeModel::Select(TreeNode* node, bool ctrl, bool shift) {
  if (!node) return;
  if (shift && anchor_) {
    const std::vector<TreeNode*> visible = VisibleNodes();
    const auto from = std::find(visible.begin(), visible.end(), anchor_);
    const auto to = std::find(visible.begin(), visible.end(), node);
    if (from != visible.end() && to != visible.end()) {
      if (!ctrl) {
        for (TreeNode* selected : SelectedNodes()) {
          if (selected != node) SetSelected(selected, false);
        }
      }
      const auto [first, last] = std::minmax(from, to);
      for (auto it = first; it <= last; ++it) SetSelected(*it, true);
      Focus(node);
      return;
    }
    // An anchor that is hidden now (its parent collapsed) starts afresh here.
  }
  if (ctrl) {
    SetSelected(node, !node->selected);
  } else {
    for (TreeNode* selected : SelectedNodes()) {
      if (selected != node) SetSelected(selected, false);
    }
    SetSelected(node, true);
  }
  anchor_ = node;
  Focus(node);
}

std::vector<TreeNode*> TreeModel::SelectedNodes() const {
  std::vector<TreeNode*> selected;
  ForEachNode(roots_, [&selected](const TreeNode& node) {
    if (node.selected) selected.push_back(const_cast<TreeNode*>(&node));
  });
  return selected;
}

std::vector<TreeNode*> TreeModel::SelectedOrFocused() const {
  std::vector<TreeNode*> nodes = SelectedNodes();
  if (nodes.empty() && focused_) nodes.push_back(focused_);
  return nodes;
}

std::vector<TreeNode*> TreeModel::SelectedTopmost() const {
  std::vector<TreeNode*> topmost;
  for (TreeNode* node : SelectedNodes()) {
    if (!HasSelectedAncestor(node)) topmost.push_back(node);
  }
  if (topmost.empty() && focused_) topmost.push_back(focused_);
  return topmost;
}

size_t TreeModel::DeleteSelectedNodes() {
  // A node under a selected ancestor goes with the ancestor: deleting it
  // first and then the ancestor would free it twice in the control.
  const std::vector<TreeNode*> doomed = SelectedTopmost();
  for (TreeNode* node : doomed) Delete(node);
  return doomed.size();
}

TreeNode* TreeModel::FindNodeByText(std::string_view text, bool make_visible) {
  const auto it = by_caption_.find(text);
  if (it == by_caption_.end() || it->second.empty()) return nullptr;
  TreeNode* found = it->second.front();
  if (it->second.size() > 1) {
    // Rare (two groups whose roots differ in case, a title equal to a root):
    // the first in tree order wins.
    std::vector<size_t> best = TreePosition(found, roots_);
    for (size_t i = 1; i < it->second.size(); ++i) {
      std::vector<size_t> position = TreePosition(it->second[i], roots_);
      if (position < best) {
        best = std::move(position);
        found = it->second[i];
      }
    }
  }
  if (make_visible) MakeVisible(found);
  return found;
}

}  // namespace zd
