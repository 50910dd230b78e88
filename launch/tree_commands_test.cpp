#include "launch/tree_commands.h"

#include <gtest/gtest.h>

#include "tracking/doc_kinds.h"

namespace zd {
namespace {

using V = std::vector<std::string>;

TEST(TreeCommandsTest, TheRecordsPathWithTheNodesCaptionGoesOnTop) {
  DocArray docs(2);
  docs[0] = {"h", "http://h/a", "A page", false, kDocWeb, ""};
  docs[1] = {"D:\\W", "D:\\W\\x", "D:\\W\\x", false, kDocFolder, ""};
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
  EXPECT_EQ(fav_box.Rows()[0], "D:\\W\\x");
}

}  // namespace
}  // namespace zd
