#include "launch/tree_commands.h"

#include <gtest/gtest.h>

#include "tracking/doc_kinds.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

TEST(TreeCommandsTest, TheRecordsPathWithTheNodesCaptionGoesOnTop) {
  DocArray docs(2);
  docs[0] = {"h", "http://h/a", "A page", false, DocKind::kWeb, ""};
  docs[1] = {"D:\\W", "D:\\W\\x", "D:\\W\\x", false, DocKind::kFolder, ""};
  TreeNode web, folder, stray;
  web.caption = "A page";
  folder.caption = "D:\\W\\x";
  folder.data.index = 1;
  stray.data.index = 2;
  MemoryMirror fav_box, run_box;
  DocList favourites(&fav_box), run_list(&run_box);
  for (int twice = 0; twice < 2; ++twice) {
    EXPECT_TRUE(AddNodeToFavourites(&web, docs, favourites));
    EXPECT_TRUE(AddNodeToRunList(&web, docs, run_list));
  }
  EXPECT_TRUE(AddNodeToFavourites(&folder, docs, favourites));
  EXPECT_FALSE(AddNodeToFavourites(&stray, docs, favourites));
  EXPECT_FALSE(AddNodeToFavourites(nullptr, docs, favourites));
  EXPECT_FALSE(AddNodeToRunList(nullptr, docs, run_list));
  EXPECT_EQ(favourites.Lines(),
            V({"D:\\W\\x*|*D:\\W\\x", "http://h/a*|*A page", "http://h/a*|*A page"}));
  EXPECT_EQ(run_list.Lines(), V({"http://h/a*|*A page", "http://h/a*|*A page"}));
  EXPECT_EQ(fav_box.RowCount(), favourites.size());
  EXPECT_EQ(favourites.RowText(0), "D:\\W\\x");
}

TEST(TreeCommandsTest, ASelectionOfSeveralNodesGoesInTheirOrder) {
  DocArray docs(3);
  docs[0] = {"h", "http://h/a", "A page", false, DocKind::kWeb, ""};
  docs[1] = {"", "C:\\t.exe", "Tool", false, DocKind::kProgram, ""};
  docs[2] = {"D:\\W", "D:\\W\\x", "D:\\W\\x", false, DocKind::kFolder, ""};
  TreeNode web, tool, folder, stray;
  web.caption = "A page";
  tool.caption = "Tool";
  tool.data.index = 1;
  folder.caption = "D:\\W\\x";
  folder.data.index = 2;
  stray.data.index = 7;
  MemoryMirror fav_box, run_box;
  DocList favourites(&fav_box), run_list(&run_box);
  AddMyLove(favourites, "C:\\old", "old");
  EXPECT_EQ(AddNodesToFavourites({&tool, &stray, &web, &folder}, docs, favourites), 3u);
  EXPECT_EQ(favourites.Lines(),
            V({"C:\\t.exe*|*Tool", "http://h/a*|*A page", "D:\\W\\x*|*D:\\W\\x", "C:\\old*|*old"}));
  EXPECT_EQ(AddNodesToRunList({&folder}, docs, run_list), 1u);
  EXPECT_EQ(run_list.Lines(), V({"D:\\W\\x*|*D:\\W\\x"}));
  EXPECT_EQ(AddNodesToRunList({}, docs, run_list), 0u);
}

}  // namespace
}  // namespace zd
