#include "tracking/tree_model.h"

#include <gtest/gtest.h>

#include <functional>

#include "tracking/recording_tree_mirror_for_tests.h"

namespace zd {
namespace {

using testing_support::RecordingTreeMirror;
using V = std::vector<std::string>;

V Captions(const std::vector<std::unique_ptr<TreeNode>>& nodes) {
  V captions;
  for (const auto& node : nodes) captions.push_back(node->caption);
  return captions;
}

TEST(TreeModelTest, RootsInsertedFirstAndChildrenAppended) {
  TreeModel tree;
  EXPECT_TRUE(tree.empty());
  TreeNode* a = tree.InsertRootFirst("A", 2, 0);
  tree.InsertRootFirst("B", 0, 1);
  tree.AppendChild(a, "a1", 2, 2);
  tree.AppendChild(a, "a2", 2, 3);
  TreeNode* top = tree.AppendChild(nullptr, "Z", 1, 4);
  EXPECT_EQ(Captions(tree.roots()), V({"B", "A", "Z"}));
  EXPECT_EQ(Captions(a->children), V({"a1", "a2"}));
  EXPECT_EQ(a->children[1]->parent, a);
  EXPECT_EQ(top->parent, nullptr);
  EXPECT_EQ(a->children[0]->data.index, 2);
  EXPECT_EQ(a->children[0]->selected_image, 2);
  EXPECT_TRUE(a->children[0]->data.text.empty());
  EXPECT_EQ(tree.CountNodes(), 5u);
}

TEST(TreeModelTest, MirrorHearsEveryChangeWithItsPlace) {
  TreeModel tree;
  RecordingTreeMirror mirror;
  tree.SetMirror(&mirror);
  TreeNode* a = tree.InsertRootFirst("A", 0, 0);
  tree.InsertRootFirst("B", 0, 1);
  tree.AppendChild(a, "a1", 0, 2);
  tree.AppendChild(a, "a2", 0, 3);
  tree.AppendChild(nullptr, "Z", 0, 4);
  tree.SetImage(a, 7);
  tree.SetImage(a, 7);  // no change, nothing to tell
  tree.Delete(a);
  tree.Clear();
  EXPECT_EQ(mirror.events, V({"clear", "insert A in - after -", "insert B in - after -",
                              "insert a1 in A after -", "insert a2 in A after a1",
                              "insert Z in - after A", "image A 7", "delete A", "clear"}));
  EXPECT_EQ(tree.CountNodes(), 0u);
}

TEST(TreeModelTest, SetMirrorReplaysTheTreeAndItsExpansion) {
  TreeModel tree;
  TreeNode* a = tree.InsertRootFirst("A", 0, 0);
  tree.InsertRootFirst("B", 0, 1);
  TreeNode* a1 = tree.AppendChild(a, "a1", 0, 2);
  tree.AppendChild(a1, "a1x", 0, 3);
  tree.AppendChild(a, "a2", 0, 4);
  tree.Expand(a, true);
  RecordingTreeMirror mirror;
  tree.SetMirror(&mirror);
  EXPECT_EQ(mirror.events,
            V({"clear", "insert B in - after -", "insert A in - after B", "insert a1 in A after -",
               "insert a1x in a1 after -", "insert a2 in A after a1", "expand A"}));
}

// A batch tells its mirror nothing after emptying it; its end tells the
// mirror what a fresh mirror attached then would hear (the oracle), and then
// shows the node made visible last, if it is still there. Only the outermost
// end replays.
TEST(TreeModelTest, ABatchReplaysOnceAndShowsTheLastNodeMadeVisible) {
  struct Case {
    const char* name;
    std::function<void(TreeModel&)> work;  // inside the batch
    const char* shown;                     // caption, or null for none
  };
  const Case cases[] = {
      {"nothing", [](TreeModel&) {}, nullptr},
      {"the last found wins",
       [](TreeModel& t) {
         t.FindNodeByText("b", true);
         t.FindNodeByText("A", true);
       },
       "A"},
      {"a child found expands its group",
       [](TreeModel& t) {
         t.AppendChild(t.FindNodeByText("b", false), "b1", 0, 9);
         t.FindNodeByText("b1", true);
       },
       "b1"},
      {"a deleted node is not shown",
       [](TreeModel& t) {
         t.FindNodeByText("A", true);
         t.Delete(t.FindNodeByText("A", false));
       },
       nullptr},
      {"nor one under a deleted group",
       [](TreeModel& t) {
         t.FindNodeByText("a1", true);
         t.Delete(t.FindNodeByText("A", false));
       },
       nullptr},
      {"a cleared tree shows nothing",
       [](TreeModel& t) {
         t.FindNodeByText("A", true);
         t.Clear();
         t.InsertRootFirst("C", 0, 5);
       },
       nullptr},
      {"selection and focus come back",
       [](TreeModel& t) {
         t.Select(t.FindNodeByText("A", false));
         t.Select(t.FindNodeByText("b", false), true);
         t.InsertRootFirst("C", 0, 5);
       },
       nullptr},
      {"a nested batch waits for the outer end",
       [](TreeModel& t) {
         t.BeginBatch();
         t.InsertRootFirst("C", 0, 5);
         t.FindNodeByText("C", true);
         t.EndBatch();
         t.AppendChild(nullptr, "D", 0, 6);
       },
       "C"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TreeModel tree;
    TreeNode* a = tree.InsertRootFirst("A", 0, 0);
    tree.AppendChild(a, "a1", 0, 1);
    tree.InsertRootFirst("B", 0, 2);
    RecordingTreeMirror mirror;
    tree.SetMirror(&mirror);
    mirror.events.clear();

    tree.BeginBatch();
    c.work(tree);
    EXPECT_EQ(mirror.events, V({"clear"})) << "emptied at once, then told nothing";
    mirror.events.clear();
    tree.EndBatch();

    RecordingTreeMirror fresh;
    tree.SetMirror(&fresh);
    V expected = fresh.events;
    if (c.shown) expected.push_back(std::string("show ") + c.shown);
    EXPECT_EQ(mirror.events, expected);
  }
}

TEST(TreeModelTest, DeleteTakesTheSubtreeOutOfTheSearch) {
  TreeModel tree;
  TreeNode* a = tree.InsertRootFirst("Host", 0, 0);
  tree.AppendChild(a, "Page", 0, 1);
  TreeNode* b = tree.AppendChild(nullptr, "Page", 0, 2);
  EXPECT_EQ(tree.FindNodeByText("page", false), a->children[0].get());
  tree.Delete(a);
  EXPECT_EQ(tree.CountNodes(), 1u);
  EXPECT_EQ(tree.FindNodeByText("PAGE", false), b);
  EXPECT_EQ(tree.FindNodeByText("host", false), nullptr);
  TreeModel other;
  other.Delete(b);  // not a node of that tree: nothing happens
  EXPECT_EQ(tree.CountNodes(), 1u);
}

TEST(TreeModelTest, FindIgnoresAsciiCaseOnly) {
  TreeModel tree;
  TreeNode* host = tree.InsertRootFirst("HOST", 2, 0);
  TreeNode* chinese = tree.InsertRootFirst("新闻Ä", 2, 1);
  EXPECT_EQ(tree.FindNodeByText("host", false), host);
  EXPECT_EQ(tree.FindNodeByText("HoSt", false), host);
  EXPECT_EQ(tree.FindNodeByText("新闻Ä", false), chinese);
  EXPECT_EQ(tree.FindNodeByText("新闻ä", false), nullptr);
  EXPECT_EQ(tree.FindNodeByText("hos", false), nullptr);
  EXPECT_EQ(TreeModel().FindNodeByText("", false), nullptr);
}

TEST(TreeModelTest, FindReturnsTheFirstInTreeOrder) {
  TreeModel tree;
  TreeNode* older = tree.InsertRootFirst("same", 0, 0);
  TreeNode* mid = tree.InsertRootFirst("Group", 0, 1);
  TreeNode* child = tree.AppendChild(mid, "SAME", 0, 2);
  EXPECT_EQ(tree.FindNodeByText("Same", false), child) << "a child comes before a later root";
  TreeNode* newer = tree.InsertRootFirst("Same", 0, 3);
  EXPECT_EQ(tree.FindNodeByText("same", false), newer);
  TreeNode* deep = tree.AppendChild(child, "x", 0, 4);
  TreeNode* deeper = tree.AppendChild(deep, "same", 0, 5);
  tree.Delete(newer);
  EXPECT_EQ(tree.FindNodeByText("same", false), child) << "an ancestor before its descendants";
  tree.Delete(child);
  EXPECT_EQ(tree.FindNodeByText("same", false), older);
  (void)deeper;
}

TEST(TreeModelTest, FindCanRevealTheNode) {
  TreeModel tree;
  TreeNode* a = tree.InsertRootFirst("A", 0, 0);
  TreeNode* b = tree.AppendChild(a, "B", 0, 1);
  tree.AppendChild(b, "target", 0, 2);
  tree.Expand(a, true);
  RecordingTreeMirror mirror;
  tree.SetMirror(&mirror);
  mirror.events.clear();
  EXPECT_NE(tree.FindNodeByText("TARGET", false), nullptr);
  EXPECT_TRUE(mirror.events.empty());
  TreeNode* found = tree.FindNodeByText("TARGET", true);
  EXPECT_EQ(mirror.events, V({"expand B", "show target"}));
  EXPECT_TRUE(b->expanded);
  EXPECT_EQ(found->parent, b);
}

TEST(TreeModelTest, ExpandAllTouchesNodesWithChildrenOnly) {
  TreeModel tree;
  TreeNode* a = tree.InsertRootFirst("A", 0, 0);
  TreeNode* leaf = tree.InsertRootFirst("leaf", 0, 1);
  TreeNode* a1 = tree.AppendChild(a, "a1", 0, 2);
  tree.AppendChild(a1, "a1x", 0, 3);
  tree.ExpandAll();
  EXPECT_TRUE(a->expanded);
  EXPECT_TRUE(a1->expanded);
  EXPECT_FALSE(leaf->expanded);
  tree.ExpandAll(false);
  EXPECT_FALSE(a->expanded || a1->expanded);
}

TEST(TreeModelTest, ClearEmptiesTheSearchToo) {
  TreeModel tree;
  tree.InsertRootFirst("A", 0, 0);
  tree.Clear();
  EXPECT_TRUE(tree.empty());
  EXPECT_EQ(tree.FindNodeByText("a", false), nullptr);
  tree.InsertRootFirst("A", 0, 1);
  EXPECT_EQ(tree.FindNodeByText("a", false)->data.index, 1);
}

}  // namespace
}  // namespace zd
