#include "tracking/title_files.h"

#include "platform/utf8.h"
#include "tracking/doc_kinds.h"

namespace zd {
namespace {

// The separators programs put between a document's name and their own.
constexpr std::string_view kSeparators[] = {" - ", " \xE2\x80\x94 ", " \xE2\x80\x93 ", " | "};

std::string_view FileNameOf(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A title's part as a file name: without the marks of a changed document
// ("*" before it, "*" or "●" after it) and of a read-only one.
std::string_view Bare(std::string_view part) {
  part = TrimView(part);
  if (part.starts_with("*")) part.remove_prefix(1);
  for (std::string_view mark :
       {"*", "\xE2\x97\x8F", " [Read-Only]", " [只读]", " [唯讀]", " (Read-Only)"}) {
    if (part.ends_with(mark)) part.remove_suffix(mark.size());
  }
  return TrimView(part);
}

}  // namespace

void TitleFiles::Add(const std::string& path, int64_t opened) {
  const std::string_view name = FileNameOf(path);
  // A name without an extension is too easily a program's own ("Word").
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return;
  const auto add = [&](std::string_view key) {
    std::vector<Known>& known = by_name_[LowerAscii(key)];
    for (Known& k : known) {
      if (EqualsIgnoringAsciiCase(k.path, path)) {
        if (opened > k.opened) k.opened = opened;
        return;
      }
    }
    known.push_back({path, opened});
  };
  add(name);
  add(name.substr(0, dot));
}

std::optional<std::string> TitleFiles::FileOf(std::string_view title) const {
  if (by_name_.empty()) return std::nullopt;
  // Every part the separators make, and the whole title (a program that
  // shows only the document's name).
  std::vector<std::string_view> parts = {title};
  for (std::string_view separator : kSeparators) {
    std::vector<std::string_view> next;
    for (std::string_view part : parts) {
      size_t from = 0;
      for (size_t at = part.find(separator); at != std::string_view::npos;
           at = part.find(separator, from)) {
        next.push_back(part.substr(from, at - from));
        from = at + separator.size();
      }
      next.push_back(part.substr(from));
    }
    parts = std::move(next);
  }
  const Known* best = nullptr;
  for (std::string_view part : parts) {
    const std::string_view bare = Bare(part);
    if (bare.empty()) continue;
    const auto it = by_name_.find(LowerAscii(bare));
    if (it == by_name_.end()) continue;
    for (const Known& known : it->second) {
      if (!best || known.opened > best->opened) best = &known;
    }
    // The first part that names a file is the document; later parts are
    // the program's own ("记事本").
    break;
  }
  if (!best) return std::nullopt;
  return best->path;
}

}  // namespace zd
