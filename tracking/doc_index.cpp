#include "tracking/doc_index.h"

#include "tracking/doc_kinds.h"

namespace zd {

void DocIndex::Rebuild(const DocArray& docs) {
  paths_.clear();
  roots_.clear();
  indexed_ = 0;
  paths_.reserve(docs.size());
  for (const DocRecord& doc : docs) Add(doc);
}

void DocIndex::Sync(const DocArray& docs) {
  if (docs.size() < indexed_) {
    Rebuild(docs);
    return;
  }
  while (indexed_ < docs.size()) Add(docs[indexed_]);
}

void DocIndex::Add(const DocRecord& doc) {
  paths_.insert(DocPathKey(TrimView(doc.path)));
  roots_.insert(DocPathKey(TrimView(doc.RootPath)));
  ++indexed_;
}

bool DocIndex::HasPath(std::string_view trimmed_path) const {
  return paths_.find(DocPathKey(trimmed_path)) != paths_.end();
}

bool DocIndex::HasRoot(std::string_view trimmed_root) const {
  return roots_.find(DocPathKey(trimmed_root)) != roots_.end();
}

bool IsDocRegistered(const DocIndex& index, std::string_view address) {
  if (IsDriveRoot(address)) return true;
  if (!IsFileAddress(address)) return index.HasPath(TrimView(address));
  return index.HasPath(RegistrationKey(address));
}

bool IsRootRegistered(const DocIndex& index, std::string_view root) {
  return index.HasRoot(TrimView(root));
}

}  // namespace zd
