// A tree mirror for tests that writes down every call it gets.
#pragma once

#include <string>
#include <vector>

#include "tracking/tree_model.h"

namespace zd::testing_support {

class RecordingTreeMirror : public TreeMirror {
 public:
  void NodeInserted(const TreeNode& node, const TreeNode* parent, const TreeNode* after) override {
    events.push_back("insert " + node.caption + " in " + Name(parent) + " after " + Name(after));
  }
  void NodeDeleted(const TreeNode& node) override { events.push_back("delete " + node.caption); }
  void Cleared() override { events.push_back("clear"); }
  void NodeExpanded(const TreeNode& node, bool expanded) override {
    events.push_back((expanded ? "expand " : "collapse ") + node.caption);
  }
  void NodeMadeVisible(const TreeNode& node) override { events.push_back("show " + node.caption); }
  void NodeSelected(const TreeNode& node, bool selected) override {
    events.push_back((selected ? "select " : "unselect ") + node.caption);
  }
  void NodeFocused(const TreeNode* node) override { events.push_back("focus " + Name(node)); }
  void NodeImageChanged(const TreeNode& node) override {
    events.push_back("image " + node.caption + " " + std::to_string(node.image));
  }

  std::vector<std::string> events;

 private:
  static std::string Name(const TreeNode* node) { return node ? node->caption : "-"; }
};

}  // namespace zd::testing_support
