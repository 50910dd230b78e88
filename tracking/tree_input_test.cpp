#include "tracking/tree_input.h"

#include <gtest/gtest.h>

#include "tracking/doc_kinds.h"

namespace zd {
namespace {

TEST(TreeKeyDownTest, KeysDecideAndShiftPlaysNoPart) {
  const std::pair<int, TreeKeyAction> cases[] = {
      {kKeyEnter, TreeKeyAction::kOpen},         {kKeySpace, TreeKeyAction::kOpen},
      {kKeyDelete, TreeKeyAction::kDeleteNodes}, {kKeyF5, TreeKeyAction::kNone},
      {kKeyDown, TreeKeyAction::kCopyCaption},   {'A', TreeKeyAction::kCopyCaption},
      {kKeyEscape, TreeKeyAction::kCopyCaption}, {16 /* Shift */, TreeKeyAction::kCopyCaption},
  };
  for (const auto& [key, action] : cases) EXPECT_EQ(TreeKeyDown(key), action) << key;
}

// The rule as first written: the hit-test flags as a set over above, below,
// nowhere, on item, on button, on icon, on indent, on label, on right, on
// state icon, to left, to right (bit 0 upward), where "on item" stands for
// any of icon, label and state icon; the hint follows only within 0x02A8.
bool ReferenceHintAllowed(unsigned flags) {
  const unsigned order[] = {kHitAbove,    kHitBelow,       kHitNowhere,  0u,
                            kHitOnButton, kHitOnIcon,      kHitOnIndent, kHitOnLabel,
                            kHitOnRight,  kHitOnStateIcon, kHitToLeft,   kHitToRight};
  unsigned set = 0;
  for (unsigned bit = 0; bit < 12; ++bit) {
    const bool on = bit == 3 ? (flags & (kHitOnIcon | kHitOnLabel | kHitOnStateIcon)) != 0
                             : (flags & order[bit]) != 0;
    if (on) set |= 1u << bit;
  }
  return (set & ~0x02A8u) == 0;
}

TEST(HintHitAllowedTest, AgreesWithTheSetRuleForEveryCombination) {
  const unsigned all[] = {kHitNowhere,  kHitOnIcon,  kHitOnLabel,     kHitOnIndent,
                          kHitOnButton, kHitOnRight, kHitOnStateIcon, kHitAbove,
                          kHitBelow,    kHitToRight, kHitToLeft};
  for (unsigned combo = 0; combo < (1u << 11); ++combo) {
    unsigned flags = 0;
    for (unsigned i = 0; i < 11; ++i) {
      if (combo & (1u << i)) flags |= all[i];
    }
    ASSERT_EQ(HintHitAllowed(flags), ReferenceHintAllowed(flags)) << std::hex << flags;
  }
}

TEST(TreeHintTest, FollowsTheNodeUnderThePointerOnItsLabelOrIcon) {
  DocArray docs(3);
  docs[0] = {"", "http://h/a", "A page", false, DocKind::kWeb, "2024-01-01"};
  docs[1] = {"D:\\W", "D:\\W\\x", "D:\\W\\x", false, DocKind::kFolder, "2024-01-01"};
  TreeNode web, folder, stray;
  web.data.index = 0;
  folder.data.index = 1;
  stray.data.index = 7;  // outside the history

  struct Step {
    const TreeNode* node;
    unsigned hit;
    bool cancel, set;
    const char* panel;  // nullptr: LblHint keeps its text
  };
  const Step steps[] = {
      {&web, kHitOnLabel, true, true, "http://h/a"},
      {&web, kHitOnIcon, false, false, nullptr},      // same node: nothing at all
      {&folder, kHitOnButton, true, false, nullptr},  // the expand button: HintNode stays
      {&folder, kHitOnIndent, true, false, nullptr},
      {&folder, kHitOnIcon, true, true, "D:\\W\\x"},  // a folder shows its local path
      {nullptr, kHitNowhere, true, false, nullptr},
      {&stray, kHitOnLabel, true, true, nullptr},  // no document: the hint empties
      {&web, kHitOnLabel | kHitOnRight, true, false, nullptr},
  };
  TreeHint hint;
  for (size_t i = 0; i < std::size(steps); ++i) {
    const Step& s = steps[i];
    const TreeHint::Update u = hint.MouseMove(s.node, s.hit, docs);
    EXPECT_EQ(u.cancel_hint, s.cancel) << i;
    EXPECT_EQ(u.set_hint, s.set) << i;
    EXPECT_EQ(u.panel.has_value(), s.panel != nullptr) << i;
    if (s.panel) {
      EXPECT_EQ(*u.panel, s.panel) << i;
      EXPECT_EQ(u.hint, s.panel) << i;
    }
    if (s.set) {
      EXPECT_EQ(hint.hint_node(), s.node) << i;
    }
  }
  EXPECT_EQ(hint.hint_node(), &stray);
  hint.Forget();
  EXPECT_EQ(hint.hint_node(), nullptr);
}

TEST(ExpandAllCommandTest, TheMarkDecidesAndTheSoftwareTreeIsLeftAlone) {
  TreeModel docs, path, doc, app;
  for (TreeModel* tree : {&docs, &path, &doc, &app}) {
    TreeNode* root = tree->InsertRootFirst("R", 0, 0);
    tree->AppendChild(root, "c", 0, 1);
  }
  auto expanded = [](const TreeModel& tree) { return tree.roots()[0]->expanded; };
  ExpandAllCommand command;
  command.Toggle(&docs, &path, &doc);
  EXPECT_TRUE(command.marked());
  EXPECT_TRUE(expanded(docs) && expanded(path) && expanded(doc));
  EXPECT_FALSE(expanded(app));
  command.Toggle(&docs, &path, &doc);
  EXPECT_FALSE(command.marked());
  EXPECT_FALSE(expanded(docs) || expanded(path) || expanded(doc));
  command.Toggle(&docs, &path, &doc);
  command.CollapseAll(&docs, &path, &doc);
  EXPECT_FALSE(command.marked());
  EXPECT_FALSE(expanded(docs) || expanded(path) || expanded(doc));
  command.CollapseAll(nullptr, nullptr, nullptr);  // trees not made yet
}

TEST(ShowOpenDirEntryTest, OnlyForAProgramsNode) {
  DocArray docs(3);
  docs[0].doctype = DocKind::kWeb;
  docs[1].doctype = DocKind::kProgram;
  docs[2].doctype = DocKind::kFolder;
  const std::pair<int32_t, bool> cases[] = {
      {0, false}, {1, true}, {2, false}, {3, false}, {-1, false}};
  for (const auto& [index, shown] : cases) {
    TreeNode node;
    node.data.index = index;
    EXPECT_EQ(ShowOpenDirEntry(&node, docs), shown) << index;
  }
  EXPECT_FALSE(ShowOpenDirEntry(nullptr, docs));
}

}  // namespace
}  // namespace zd
