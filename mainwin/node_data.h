// What links a tree node to its document, and which tree the tree commands
// act on.
#pragma once

#include <optional>
#include <string>

#include "mainwin/tree_model.h"
#include "store/doc.h"

namespace zd {

// The tree shown on a page of TVControl (pages counted with the hidden ones).
enum class TreePage { kNone, kDoc, kApp, kPath, kDocs };

// 0 TVDoc, 1 TVApp, 2 TVPath, 3 TVDocs; any other page has no current tree.
TreePage CurrentTreePage(int page_index);

// The current tree among the four, or null.
TreeModel* CurrentTree(int page_index, TreeModel* doc, TreeModel* app, TreeModel* path,
                       TreeModel* docs);

// The document path of a node: the record's name for a folder (its local
// path), its path otherwise. nullopt without a node or when the node's index
// lies outside DocArray.
std::optional<std::string> GetNodeDocPath(const TreeNode* node, const DocArray& docs);

}  // namespace zd
