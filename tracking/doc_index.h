// DocArray indexed by trimmed path and trimmed root, so that the registration
// tests answer without walking the history.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "store/doc.h"

namespace zd {

class DocIndex {
 public:
  // Indexes every record anew.
  void Rebuild(const DocArray& docs);
  // Brings the index up to `docs`: appended records are added; a shorter
  // array (one emptied and refilled behind our back) is indexed anew.
  // Records changed in place are not seen: call Rebuild after that.
  void Sync(const DocArray& docs);
  // Indexes one more record; it must be the next one of the array.
  void Add(const DocRecord& doc);

  // Comparisons of trimmed texts by DocPathKey: local paths (and folder
  // groups) whatever their letter case, web addresses and hosts exactly.
  bool HasPath(std::string_view trimmed_path) const;
  bool HasRoot(std::string_view trimmed_root) const;
  size_t size() const { return indexed_; }

 private:
  // Looked up by string_view, so a test needs no copy of the address.
  struct Hash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  using TextSet = std::unordered_set<std::string, Hash, std::equal_to<>>;
  TextSet paths_;
  TextSet roots_;
  size_t indexed_ = 0;
};

// A drive root, or the path of a record (after the "file:///" rule and
// trimming; see RegistrationKey).
bool IsDocRegistered(const DocIndex& index, std::string_view address);
// The RootPath of a record, both trimmed.
bool IsRootRegistered(const DocIndex& index, std::string_view root);

}  // namespace zd
