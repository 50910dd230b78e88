// The tree menu's entries that copy a document into a list.
#pragma once

#include <cstddef>
#include <vector>

#include "store/doc.h"
#include "store/doc_list.h"
#include "tracking/tree_model.h"

namespace zd {

// MyMyLoveClick "加入到『收藏』中": the focused node's record path with the
// node's caption, at the top of the favourites (the same one twice gives two).
bool AddNodeToFavourites(const TreeNode* focused, const DocArray& docs, DocList& favourites);
// MnAddToRunListClick "加入到『启动』中": the same into the auto-run list.
bool AddNodeToRunList(const TreeNode* focused, const DocArray& docs, DocList& run_list);
// The same for the nodes the menu acts on (a multiple selection), each once,
// standing at the top in the nodes' order. How many were added.
size_t AddNodesToFavourites(const std::vector<TreeNode*>& nodes, const DocArray& docs,
                            DocList& favourites);
size_t AddNodesToRunList(const std::vector<TreeNode*>& nodes, const DocArray& docs,
                         DocList& run_list);

}  // namespace zd
