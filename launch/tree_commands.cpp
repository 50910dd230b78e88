#include "launch/tree_commands.h"

#include "platform/errors.h"

namespace zd {
namespace {

const TMyDoc* RecordOf(const TreeNode* node, const DocArray& docs) {
  if (!node || node->data.index < 0 || static_cast<size_t>(node->data.index) >= docs.size()) {
    return nullptr;
  }
  return &docs[static_cast<size_t>(node->data.index)];
}

}  // namespace

bool AddNodeToFavourites(const TreeNode* focused, const DocArray& docs,
                         DocList& favourites) noexcept {
  try {
    const TMyDoc* doc = RecordOf(focused, docs);
    if (!doc) return false;
    AddMyLove(favourites, doc->path, focused->caption);
    return true;
  } catch (...) {
    RecordCurrentException(__func__);
    return false;
  }
}

bool AddNodeToRunList(const TreeNode* focused, const DocArray& docs, DocList& run_list) noexcept {
  try {
    const TMyDoc* doc = RecordOf(focused, docs);
    if (!doc) return false;
    AddMyRun(run_list, doc->path, focused->caption);
    return true;
  } catch (...) {
    RecordCurrentException(__func__);
    return false;
  }
}

namespace {

template <typename Add>
size_t AddNodes(const std::vector<TreeNode*>& nodes, const DocArray& docs, DocList& list,
                Add add) noexcept {
  size_t added = 0;
  try {
    MirrorUpdate batch(list.Mirror());
    // Bottom up, each at the top: they end in the nodes' order.
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) {
      if (add(*it, docs, list)) ++added;
    }
  }
  ZD_CATCH_LOG(__func__)
  return added;
}

}  // namespace

size_t AddNodesToFavourites(const std::vector<TreeNode*>& nodes, const DocArray& docs,
                            DocList& favourites) noexcept {
  return AddNodes(nodes, docs, favourites, AddNodeToFavourites);
}

size_t AddNodesToRunList(const std::vector<TreeNode*>& nodes, const DocArray& docs,
                         DocList& run_list) noexcept {
  return AddNodes(nodes, docs, run_list, AddNodeToRunList);
}

}  // namespace zd
