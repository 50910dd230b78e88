// What links a tree node to its document.
#pragma once

#include <optional>
#include <string>

#include "store/doc.h"
#include "tracking/tree_model.h"

namespace zd {

// The document path of a node: the record's name for a folder (its local
// path), its path otherwise. nullopt without a node or when the node's index
// lies outside DocArray. A node of the files' tree with files below it
// (a drive and top folder, or a folder) gives its caption, that folder.
std::optional<std::string> GetNodeDocPath(const TreeNode* node, const DocArray& docs);

}  // namespace zd
