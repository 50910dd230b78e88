// The shell's collection of open Explorer and browser windows.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace zd {

struct ShellWindowItem {
  std::string location_url;   // the address shown, as reported
  bool has_document = false;  // the window has a loaded document
  std::string title;          // the document's "title"; read for non-folder addresses only, empty
                              // when it cannot be read
};

struct ShellWindowScan {
  std::vector<ShellWindowItem> items;  // in the collection's index order
  // False when a failing call ended the enumeration: `items` holds what came
  // before it (or nothing when the collection could not be opened or counted).
  bool complete = true;
  // Windows that could not be read (a UNC folder, a search view, a page whose
  // title cannot be read): skipped, or listed without a title, while the
  // scan goes on with the next one.
  size_t unreadable = 0;
};

class ShellWindows {
 public:
  virtual ~ShellWindows() = default;
  virtual ShellWindowScan Scan() = 0;
};

std::unique_ptr<ShellWindows> MakeSystemShellWindows();

}  // namespace zd
