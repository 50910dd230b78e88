// Which known file a document program's window is showing, from its title:
// "报告.docx - 某编辑器", "notes.txt - 记事本", "*plan - Editor" (changed and
// not yet saved), the name with or without its extension. The files are the
// ones the shell remembers as opened (its Recent items and jump lists).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace zd {

class TitleFiles {
 public:
  // A file known to have been opened at `opened` (seconds since 1970); one
  // without an extension is left out.
  void Add(const std::string& path, int64_t opened);
  void Clear() { by_name_.clear(); }
  bool empty() const { return by_name_.empty(); }

  // The file the title names, the most recently opened of those with that
  // name; nullopt when it names none.
  std::optional<std::string> FileOf(std::string_view title) const;

 private:
  struct Known {
    std::string path;
    int64_t opened = 0;
  };
  // By the file name and by its stem, in ASCII lower case.
  std::unordered_map<std::string, std::vector<Known>> by_name_;
};

}  // namespace zd
