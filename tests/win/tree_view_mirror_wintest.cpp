// A document tree model shown in a real TreeView through its mirror.
#include <windows.h>
// windows.h must come first
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "mainwin/tree_view_mirror_win.h"
#include "platform/wide_win.h"
#include "tests/win/window_input.h"
#include "tracking/tree_model.h"

namespace zd {
namespace {

struct Item {
  std::string caption;
  int image = -1;
  int selected_image = -1;
  const TreeNode* node = nullptr;
  bool expanded = false;
  std::vector<Item> children;
};

Item Read(HWND tree, HTREEITEM handle) {
  wchar_t text[256] = {};
  TVITEMW tv{};
  tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
  tv.hItem = handle;
  tv.pszText = text;
  tv.cchTextMax = 256;
  tv.stateMask = TVIS_EXPANDED;
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  Item item;
  item.caption = WideToUtf8(text);
  item.image = tv.iImage;
  item.selected_image = tv.iSelectedImage;
  item.node = reinterpret_cast<const TreeNode*>(tv.lParam);
  item.expanded = (tv.state & TVIS_EXPANDED) != 0;
  for (HTREEITEM child = NextItem(tree, handle, TVGN_CHILD); child;
       child = NextItem(tree, child, TVGN_NEXT)) {
    item.children.push_back(Read(tree, child));
  }
  return item;
}

std::vector<Item> ReadAll(HWND tree) {
  std::vector<Item> roots;
  for (HTREEITEM root = NextItem(tree, nullptr, TVGN_ROOT); root;
       root = NextItem(tree, root, TVGN_NEXT)) {
    roots.push_back(Read(tree, root));
  }
  return roots;
}

// "caption[image]{children}" in tree order, to compare whole trees at once.
std::string Outline(const std::vector<Item>& items) {
  std::string text;
  for (const Item& item : items) {
    if (!text.empty()) text += " ";
    text += item.caption;
    text += '[';
    text += std::to_string(item.image);
    text += ']';
    if (!item.children.empty()) {
      text += '{';
      text += Outline(item.children);
      text += '}';
    }
  }
  return text;
}

// Every item points at the model node it shows, with that node's caption and images.
void ExpectItemsMatchModel(const std::vector<Item>& items,
                           const std::vector<std::unique_ptr<TreeNode>>& nodes) {
  ASSERT_EQ(items.size(), nodes.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].node, nodes[i].get());
    EXPECT_EQ(items[i].caption, nodes[i]->caption);
    EXPECT_EQ(items[i].image, nodes[i]->image);
    EXPECT_EQ(items[i].selected_image, nodes[i]->selected_image);
    ExpectItemsMatchModel(items[i].children, nodes[i]->children);
  }
}

class TreeViewMirrorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    host_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 300, 300, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host_, nullptr);
    tree_ = MakeTree();
    ASSERT_NE(tree_, nullptr);
  }
  void TearDown() override {
    if (host_) DestroyWindow(host_);
  }
  HWND MakeTree() {
    return CreateWindowExW(0, WC_TREEVIEWW, L"",
                           WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT,
                           0, 0, 280, 280, host_, nullptr, GetModuleHandleW(nullptr), nullptr);
  }

  HWND host_ = nullptr;
  HWND tree_ = nullptr;
};

TEST_F(TreeViewMirrorTest, ShowsGroupsNewestFirstAndChildrenInOrder) {
  TreeModel model("TVDocs");
  TreeViewMirror mirror(tree_);
  model.SetMirror(&mirror);

  TreeNode* host = model.InsertRootFirst("example.com", 2, 0);
  model.AppendChild(host, "首页", 2, 1);
  model.AppendChild(host, "Second page", 2, 2);
  TreeNode* folders = model.InsertRootFirst("C:\\Windows", 0, 3);
  model.AppendChild(folders, "C:\\Windows\\System32", 0, 4);
  model.InsertRootFirst("记事本", 12, 5);
  model.AppendChild(nullptr, "Appended at the top level", 1, 6);

  const std::vector<Item> items = ReadAll(tree_);
  EXPECT_EQ(Outline(items),
            "记事本[12] C:\\Windows[0]{C:\\Windows\\System32[0]} "
            "example.com[2]{首页[2] Second page[2]} Appended at the top level[1]");
  ExpectItemsMatchModel(items, model.roots());
}

TEST_F(TreeViewMirrorTest, NodeOfFindsTheModelNodeOfAnItem) {
  TreeModel model;
  TreeViewMirror mirror(tree_);
  model.SetMirror(&mirror);
  TreeNode* group = model.InsertRootFirst("group", 0, 0);
  TreeNode* child = model.AppendChild(group, "child", 0, 1);

  HTREEITEM group_item = mirror.ItemOf(group);
  HTREEITEM child_item = mirror.ItemOf(child);
  ASSERT_NE(group_item, nullptr);
  ASSERT_NE(child_item, nullptr);
  EXPECT_EQ(NextItem(tree_, nullptr, TVGN_ROOT), group_item);
  EXPECT_EQ(NextItem(tree_, group_item, TVGN_CHILD), child_item);
  EXPECT_EQ(mirror.NodeOf(group_item), group);
  EXPECT_EQ(mirror.NodeOf(child_item), child);
  EXPECT_EQ(mirror.NodeOf(child_item)->data.index, 1);
  EXPECT_EQ(mirror.NodeOf(nullptr), nullptr);

  // An item of the same control that the mirror did not make is no node.
  TVINSERTSTRUCTW foreign{};
  foreign.hParent = TVI_ROOT;
  foreign.hInsertAfter = TVI_LAST;
  foreign.item.mask = TVIF_TEXT | TVIF_PARAM;
  wchar_t text[] = L"foreign";
  foreign.item.pszText = text;
  foreign.item.lParam = reinterpret_cast<LPARAM>(child);
  auto foreign_item = reinterpret_cast<HTREEITEM>(
      SendMessageW(tree_, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&foreign)));
  ASSERT_NE(foreign_item, nullptr);
  EXPECT_EQ(mirror.NodeOf(foreign_item), nullptr);
}

TEST_F(TreeViewMirrorTest, DeletingAndClearingFollowTheModel) {
  TreeModel model;
  TreeViewMirror mirror(tree_);
  model.SetMirror(&mirror);
  TreeNode* a = model.InsertRootFirst("A", 0, 0);
  TreeNode* a1 = model.AppendChild(a, "A1", 0, 1);
  model.AppendChild(a, "A2", 0, 2);
  TreeNode* b = model.InsertRootFirst("B", 2, 3);
  TreeNode* b1 = model.AppendChild(b, "B1", 2, 4);

  HTREEITEM b_item = mirror.ItemOf(b);
  HTREEITEM b1_item = mirror.ItemOf(b1);
  model.Delete(a1);
  EXPECT_EQ(Outline(ReadAll(tree_)), "B[2]{B1[2]} A[0]{A2[0]}");
  EXPECT_EQ(mirror.ItemOf(a1), nullptr);

  // A group goes with its children, from the control and from the lookup.
  model.Delete(b);
  EXPECT_EQ(Outline(ReadAll(tree_)), "A[0]{A2[0]}");
  EXPECT_EQ(mirror.ItemOf(b1), nullptr);
  EXPECT_EQ(mirror.NodeOf(b_item), nullptr);
  EXPECT_EQ(mirror.NodeOf(b1_item), nullptr);
  ExpectItemsMatchModel(ReadAll(tree_), model.roots());

  model.Clear();
  EXPECT_EQ(SendMessageW(tree_, TVM_GETCOUNT, 0, 0), 0);
  EXPECT_EQ(NextItem(tree_, nullptr, TVGN_ROOT), nullptr);

  // The control is usable again after clearing.
  TreeNode* c = model.InsertRootFirst("C", 0, 5);
  EXPECT_EQ(Outline(ReadAll(tree_)), "C[0]");
  EXPECT_EQ(mirror.NodeOf(mirror.ItemOf(c)), c);
}

TEST_F(TreeViewMirrorTest, ExpandingAndMakingVisibleReachTheControl) {
  TreeModel model;
  TreeViewMirror mirror(tree_);
  model.SetMirror(&mirror);
  TreeNode* a = model.InsertRootFirst("A", 0, 0);
  TreeNode* deep = model.AppendChild(model.AppendChild(a, "A1", 0, 1), "A1x", 0, 2);
  TreeNode* b = model.InsertRootFirst("B", 0, 3);
  model.AppendChild(b, "B1", 0, 4);

  std::vector<Item> items = ReadAll(tree_);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_FALSE(items[0].expanded);
  EXPECT_FALSE(items[1].expanded);

  model.Expand(b, true);
  items = ReadAll(tree_);
  EXPECT_TRUE(items[0].expanded);
  EXPECT_FALSE(items[1].expanded);

  model.MakeVisible(deep);
  items = ReadAll(tree_);
  EXPECT_TRUE(items[1].expanded);
  ASSERT_EQ(items[1].children.size(), 1u);
  EXPECT_TRUE(items[1].children[0].expanded);

  model.Expand(b, false);
  EXPECT_FALSE(ReadAll(tree_)[0].expanded);
}

TEST_F(TreeViewMirrorTest, AttachingReplaysTheModelIntoAFreshControl) {
  TreeModel model;
  TreeNode* a = model.InsertRootFirst("A", 0, 0);
  model.AppendChild(a, "A1", 0, 1);
  model.AppendChild(a, "A2", 2, 2);
  model.InsertRootFirst("B", 6, 3);
  model.Expand(a, true);

  TreeViewMirror mirror(tree_);
  model.SetMirror(&mirror);
  const std::vector<Item> items = ReadAll(tree_);
  EXPECT_EQ(Outline(items), "B[6] A[0]{A1[0] A2[2]}");
  ExpectItemsMatchModel(items, model.roots());
  EXPECT_TRUE(items[1].expanded);

  // Moving the model to another control leaves nothing stale behind.
  HWND other = MakeTree();
  ASSERT_NE(other, nullptr);
  TreeViewMirror second(other);
  model.SetMirror(&second);
  ExpectItemsMatchModel(ReadAll(other), model.roots());
  model.SetMirror(nullptr);
}

// The model's multiple selection as the control draws it: every selected
// node marked, the control's own selection (its caret) on the focused node.
TEST_F(TreeViewMirrorTest, TheControlShowsTheModelsSelection) {
  TreeModel model;
  TreeViewMirror mirror(tree_);
  model.SetMirror(&mirror);
  TreeNode* a = model.InsertRootFirst("A", 0, 0);
  TreeNode* a1 = model.AppendChild(a, "A1", 0, 1);
  TreeNode* a2 = model.AppendChild(a, "A2", 0, 2);
  TreeNode* b = model.AppendChild(nullptr, "B", 0, 3);
  model.ExpandAll();
  struct Step {
    TreeNode* node;
    bool ctrl, shift;
  };
  const Step steps[] = {{a1, false, false}, {b, true, false}, {a2, true, false}, {b, true, false},
                        {a, false, true},   {a2, true, true}, {a1, true, false}, {b, false, false}};
  auto agrees = [&](std::vector<const TreeNode*> nodes) {
    for (const TreeNode* node : nodes) {
      const UINT state = static_cast<UINT>(SendMessageW(
          tree_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(mirror.ItemOf(node)), TVIS_SELECTED));
      EXPECT_EQ((state & TVIS_SELECTED) != 0, node->selected) << node->caption;
    }
    EXPECT_EQ(NextItem(tree_, nullptr, TVGN_CARET), mirror.ItemOf(model.focused()));
    EXPECT_FALSE(mirror.OwnSelectionChange());
  };
  for (const Step& step : steps) {
    model.Select(step.node, step.ctrl, step.shift);
    agrees({a, a1, a2, b});
  }
  // The focused node deleted: the control keeps no caret the model lacks.
  model.Select(a2);
  model.Select(b, true);
  model.Delete(b);
  EXPECT_EQ(model.focused(), nullptr);
  agrees({a, a1, a2});
  model.Clear();
  EXPECT_EQ(NextItem(tree_, nullptr, TVGN_CARET), nullptr);
}

// A bulk change: the model batches, the control is held, and at the end the
// control shows what a control told of each change in turn shows (the
// oracle), with the node made visible last in view.
TEST_F(TreeViewMirrorTest, ABatchFillsTheControlOnceAndShowsTheLastNodeMadeVisible) {
  auto fill = [](TreeModel& model) {
    for (int i = 0; i < 60; ++i) {
      TreeNode* group = model.InsertRootFirst("group " + std::to_string(i), i % 3, i);
      model.AppendChild(group, "first of " + std::to_string(i), 1, i);
      model.AppendChild(group, "second of " + std::to_string(i), 2, i);
      model.FindNodeByText("group " + std::to_string(i / 2), true);
      // A program's icon read after its node was shown.
      if (i % 4 == 0)
        model.SetImage(model.FindNodeByText("group " + std::to_string(i / 2), false), 5);
    }
    model.Select(model.FindNodeByText("group 7", false));
    model.Select(model.FindNodeByText("first of 9", false), true);
    model.FindNodeByText("second of 3", true);  // near the bottom, in a collapsed group
  };
  HWND plain = MakeTree();
  ASSERT_NE(plain, nullptr);
  TreeModel reference;
  TreeViewMirror reference_mirror(plain);
  reference.SetMirror(&reference_mirror);
  fill(reference);

  TreeModel model;
  TreeViewMirror mirror(tree_);
  model.SetMirror(&mirror);
  model.InsertRootFirst("gone at once", 0, 0);
  mirror.HoldDrawing(true);
  model.BeginBatch();
  model.Clear();
  fill(model);
  EXPECT_EQ(SendMessageW(tree_, TVM_GETCOUNT, 0, 0), 0) << "nothing shown during the batch";
  model.EndBatch();
  mirror.HoldDrawing(false);

  const std::vector<Item> items = ReadAll(tree_);
  const std::vector<Item> told_each = ReadAll(plain);
  ExpectItemsMatchModel(items, model.roots());
  EXPECT_EQ(Outline(items), Outline(told_each));
  ASSERT_EQ(items.size(), told_each.size());
  for (size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].expanded, told_each[i].expanded) << items[i].caption;
  }
  EXPECT_EQ(NextItem(tree_, nullptr, TVGN_CARET), mirror.ItemOf(model.focused()));
  HTREEITEM shown = mirror.ItemOf(model.FindNodeByText("second of 3", false));
  ASSERT_NE(shown, nullptr);
  RECT rect{};
  std::memcpy(&rect, &shown, sizeof(shown));  // the message takes the item in the first bytes
  ASSERT_TRUE(SendMessageW(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect)));
  RECT client{};
  GetClientRect(tree_, &client);
  EXPECT_GE(rect.top, client.top);
  EXPECT_LE(rect.bottom, client.bottom) << "the node made visible last is in view";
}

}  // namespace
}  // namespace zd
