// The trees' multiple selection (Ctrl and Shift) and the Delete key.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "tracking/recording_tree_mirror_for_tests.h"
#include "tracking/tree_model.h"

namespace zd {
namespace {

using testing_support::RecordingTreeMirror;
using V = std::vector<std::string>;

// A (expanded): A1, A2; B (collapsed): B1; C (expanded): C1.
// Visible order: A, A1, A2, B, C, C1.
struct PickTree {
  PickTree() {
    TreeNode* c = tree.InsertRootFirst("C", 0, 5);
    TreeNode* b = tree.InsertRootFirst("B", 0, 3);
    TreeNode* a = tree.InsertRootFirst("A", 0, 0);
    tree.AppendChild(a, "A1", 0, 1);
    tree.AppendChild(a, "A2", 0, 2);
    tree.AppendChild(b, "B1", 0, 4);
    tree.AppendChild(c, "C1", 0, 6);
    tree.Expand(a, true);
    tree.Expand(c, true);
  }

  TreeNode* Node(const std::string& caption) { return tree.FindNodeByText(caption, false); }

  // "A1" plain, "A1:c" with Ctrl, "A1:s" with Shift, "A1:cs" with both,
  // "A1:r" a right press, "-A" collapses A.
  void Picks(const std::string& steps) {
    std::istringstream in(steps);
    for (std::string step; in >> step;) {
      if (step[0] == '-') {
        tree.Expand(Node(step.substr(1)), false);
        continue;
      }
      const size_t colon = step.find(':');
      const std::string mods = colon == std::string::npos ? "" : step.substr(colon + 1);
      if (mods == "r") {
        tree.SelectForMenu(Node(step.substr(0, colon)));
        continue;
      }
      tree.Select(Node(step.substr(0, colon)), mods.find('c') != std::string::npos,
                  mods.find('s') != std::string::npos);
    }
  }

  V Selected() const {
    V captions;
    for (const TreeNode* node : tree.SelectedNodes()) captions.push_back(node->caption);
    return captions;
  }

  TreeModel tree;
};

class TreeSelectionTest : public ::testing::Test, public PickTree {};

TEST_F(TreeSelectionTest, PlainCtrlAndShiftPicks) {
  struct Case {
    const char* steps;
    V selected;
    const char* focused;
  };
  const Case cases[] = {
      {"A1", {"A1"}, "A1"},
      {"A1 A2", {"A2"}, "A2"},
      {"A1 A2:c", {"A1", "A2"}, "A2"},
      {"A1 A2:c A1:c", {"A2"}, "A1"},                       // Ctrl takes a node out again
      {"A1 C:s", {"A1", "A2", "B", "C"}, "C"},              // hidden B1 is not in the range
      {"C A1:s", {"A1", "A2", "B", "C"}, "A1"},             // upwards too
      {"A1 C:s A2:s", {"A1", "A2"}, "A2"},                  // the anchor stays where Shift started
      {"A A2:c C1:cs", {"A", "A2", "B", "C", "C1"}, "C1"},  // Ctrl+Shift adds the range
      {"A1 A2:c C:s", {"A2", "B", "C"}, "C"},               // Ctrl moved the anchor
      {"A1 -A C:s", {"C"}, "C"},  // an anchor hidden by a collapse starts afresh
      {"B1 -B A:s", {"A"}, "A"},
      // A right press ("r") keeps a selection it falls into, else takes its node alone.
      {"A1 A2:c A1:r", {"A1", "A2"}, "A1"},
      {"A1 A2:c C:r", {"C"}, "C"},
      {"A1 A2:c A1:r C:s", {"A2", "B", "C"}, "C"},  // and leaves the anchor where it was
      {"A1:r", {"A1"}, "A1"},
  };
  for (const Case& c : cases) {
    PickTree fresh;
    fresh.Picks(c.steps);
    EXPECT_EQ(fresh.Selected(), c.selected) << c.steps;
    ASSERT_NE(fresh.tree.focused(), nullptr) << c.steps;
    EXPECT_EQ(fresh.tree.focused()->caption, c.focused) << c.steps;
  }
}

TEST_F(TreeSelectionTest, NoNodeChangesNothing) {
  Picks("A1 A2:c");
  tree.Select(nullptr, false, false);
  tree.Select(nullptr, true, true);
  EXPECT_EQ(Selected(), V({"A1", "A2"}));
  EXPECT_EQ(tree.focused(), Node("A2"));
}

TEST_F(TreeSelectionTest, MirrorHearsOnlyWhatChangedAndAReplay) {
  RecordingTreeMirror mirror;
  tree.SetMirror(&mirror);
  mirror.events.clear();
  Picks("A1 A2:c A2");
  EXPECT_EQ(mirror.events, V({"select A1", "focus A1", "select A2", "focus A2", "unselect A1"}));
  RecordingTreeMirror late;
  tree.SetMirror(&late);
  const auto count = [&late](const std::string& event) {
    return std::count(late.events.begin(), late.events.end(), event);
  };
  EXPECT_EQ(count("select A2"), 1);
  EXPECT_EQ(count("select A1"), 0);
  EXPECT_EQ(late.events.back(), "focus A2");
}

TEST_F(TreeSelectionTest, DeleteKeyRemovesEachSelectedSubtreeOnce) {
  struct Case {
    const char* steps;
    size_t removed;
    V deleted_events;
    size_t nodes_left;
  };
  const Case cases[] = {
      {"A1", 1, {"delete A1"}, 6},
      {"A A1:c", 1, {"delete A"}, 4},  // the child goes with its root, not twice
      {"A1 C1:s", 4, {"delete A1", "delete A2", "delete B", "delete C"}, 1},  // C takes C1
      {"A1 A1:c", 1, {"delete A1"}, 6},  // nothing marked: the focused node
  };
  for (const Case& c : cases) {
    PickTree fresh;
    RecordingTreeMirror mirror;
    fresh.tree.SetMirror(&mirror);
    fresh.Picks(c.steps);
    mirror.events.clear();
    EXPECT_EQ(fresh.tree.DeleteSelectedNodes(), c.removed) << c.steps;
    V deletes;
    for (const std::string& e : mirror.events) {
      if (e.rfind("delete ", 0) == 0) deletes.push_back(e);
    }
    EXPECT_EQ(deletes, c.deleted_events) << c.steps;
    EXPECT_EQ(fresh.tree.CountNodes(), c.nodes_left) << c.steps;
  }
}

TEST_F(TreeSelectionTest, DeletedAndClearedNodesLeaveNoFocusOrAnchor) {
  Picks("A1");
  tree.Delete(Node("A"));
  EXPECT_EQ(tree.focused(), nullptr);
  tree.Select(Node("C"), false, true);  // the anchor went with A: a fresh start
  EXPECT_EQ(Selected(), V({"C"}));
  tree.Clear();
  EXPECT_EQ(tree.focused(), nullptr);
  EXPECT_TRUE(tree.SelectedTopmost().empty());
  EXPECT_EQ(tree.DeleteSelectedNodes(), 0u);
}

TEST_F(TreeSelectionTest, ControlExpansionIsFollowedWithoutAnEcho) {
  RecordingTreeMirror mirror;
  tree.SetMirror(&mirror);
  mirror.events.clear();
  tree.NoteExpanded(Node("B"), true);
  EXPECT_TRUE(mirror.events.empty());
  Picks("A B1:s");  // B1 is visible now, so it is in the range
  EXPECT_EQ(Selected(), V({"A", "A1", "A2", "B", "B1"}));
}

}  // namespace
}  // namespace zd
