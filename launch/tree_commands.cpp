#include "launch/tree_commands.h"

namespace zd {
namespace {

const DocRecord* RecordOf(const TreeNode* node, const DocArray& docs) {
  if (!node || node->data.index < 0 || static_cast<size_t>(node->data.index) >= docs.size()) {
    return nullptr;
  }
  return &docs[static_cast<size_t>(node->data.index)];
}

}  // namespace

bool AddNodeToFavourites(const TreeNode* focused, const DocArray& docs, DocList& favourites) {
  const DocRecord* doc = RecordOf(focused, docs);
  if (!doc) return false;
  AddMyLove(favourites, doc->path, focused->caption);
  return true;
}

bool AddNodeToRunList(const TreeNode* focused, const DocArray& docs, DocList& run_list) {
  const DocRecord* doc = RecordOf(focused, docs);
  if (!doc) return false;
  AddMyRun(run_list, doc->path, focused->caption);
  return true;
}

namespace {

template <typename Add>
size_t AddNodes(const std::vector<TreeNode*>& nodes, const DocArray& docs, DocList& list, Add add) {
  size_t added = 0;
  MirrorUpdate batch(list.Mirror());
  // Bottom up, each at the top: they end in the nodes' order.
  for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
    if (add(*it, docs, list)) ++added;
  }
  return added;
}

}  // namespace

size_t AddNodesToFavourites(const std::vector<TreeNode*>& nodes, const DocArray& docs,
                            DocList& favourites) {
  return AddNodes(nodes, docs, favourites, AddNodeToFavourites);
}

size_t AddNodesToRunList(const std::vector<TreeNode*>& nodes, const DocArray& docs,
                         DocList& run_list) {
  return AddNodes(nodes, docs, run_list, AddNodeToRunList);
}

}  // namespace zd
