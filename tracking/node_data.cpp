#include "tracking/node_data.h"

#include "tracking/doc_kinds.h"

namespace zd {

std::optional<std::string> GetNodeDocPath(const TreeNode* node, const DocArray& docs) {
  if (!node) return std::nullopt;
  const int32_t index = node->data.index;
  if (index < 0 || static_cast<size_t>(index) >= docs.size()) return std::nullopt;
  const DocRecord& doc = docs[static_cast<size_t>(index)];
  // A file's group or folder node stands for that folder, not for the file
  // registered first below it.
  if (doc.doctype == DocKind::kFile && !node->children.empty()) return node->caption;
  return GetDocAddress(doc);
}

}  // namespace zd
