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

}  // namespace zd
