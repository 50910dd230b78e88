#include "tracking/node_data.h"

#include "tracking/doc_kinds.h"

namespace zd {

std::optional<std::string> GetNodeDocPath(const TreeNode* node, const DocArray& docs) {
  if (!node) return std::nullopt;
  const int32_t index = node->data.index;
  if (index < 0 || static_cast<size_t>(index) >= docs.size()) return std::nullopt;
  return GetDocAddress(docs[static_cast<size_t>(index)]);
}

}  // namespace zd
