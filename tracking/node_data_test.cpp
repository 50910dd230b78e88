#include "tracking/node_data.h"

#include <gtest/gtest.h>

#include "tracking/doc_kinds.h"

namespace zd {
namespace {

TEST(NodeDataTest, NodeDocPathIsTheFolderNameOrThePath) {
  DocArray docs(3);
  docs[0].doctype = DocKind::kFolder;
  docs[0].path = "C:\\Work\\Proj";
  docs[0].name = "C:\\Work\\Proj (local)";
  docs[1].doctype = DocKind::kWeb;
  docs[1].path = "http://HOST/a";
  docs[1].name = "Title";
  docs[2].doctype = DocKind::kProgram;
  docs[2].path = "C:\\Tools\\a.exe";
  docs[2].name = "Editor";
  TreeModel tree;
  TreeNode* folder = tree.InsertRootFirst("C:\\Work", 0, 0);
  TreeNode* page = tree.AppendChild(folder, "Title", 2, 1);
  TreeNode* program = tree.InsertRootFirst("Editor", 11, 2);
  EXPECT_EQ(GetNodeDocPath(folder, docs), "C:\\Work\\Proj (local)");
  EXPECT_EQ(GetNodeDocPath(page, docs), "http://HOST/a");
  EXPECT_EQ(GetNodeDocPath(program, docs), "C:\\Tools\\a.exe");
}

TEST(NodeDataTest, NoNodeOrAnIndexOutsideTheHistoryGivesNothing) {
  DocArray docs(2);
  TreeModel tree;
  EXPECT_EQ(GetNodeDocPath(nullptr, docs), std::nullopt);
  EXPECT_EQ(GetNodeDocPath(tree.InsertRootFirst("x", 0, 2), docs), std::nullopt);
  EXPECT_EQ(GetNodeDocPath(tree.InsertRootFirst("y", 0, -1), docs), std::nullopt);
  EXPECT_EQ(GetNodeDocPath(tree.InsertRootFirst("z", 0, 1), docs), std::string());
}

}  // namespace
}  // namespace zd
