#include "mainwin/node_data.h"

#include "tracking/doc_kinds.h"

namespace zd {

TreePage CurrentTreePage(int page_index) {
  switch (page_index) {
    case 0:
      return TreePage::kDoc;
    case 1:
      return TreePage::kApp;
    case 2:
      return TreePage::kPath;
    case 3:
      return TreePage::kDocs;
    default:
      return TreePage::kNone;
  }
}

TreeModel* CurrentTree(int page_index, TreeModel* doc, TreeModel* app, TreeModel* path,
                       TreeModel* docs) {
  switch (CurrentTreePage(page_index)) {
    case TreePage::kDoc:
      return doc;
    case TreePage::kApp:
      return app;
    case TreePage::kPath:
      return path;
    case TreePage::kDocs:
      return docs;
    case TreePage::kNone:
      break;
  }
  return nullptr;
}

std::optional<std::string> GetNodeDocPath(const TreeNode* node, const DocArray& docs) {
  if (!node) return std::nullopt;
  const int32_t index = node->data.index;
  if (index < 0 || static_cast<size_t>(index) >= docs.size()) return std::nullopt;
  return GetDocAddress(docs[static_cast<size_t>(index)]);
}

}  // namespace zd
