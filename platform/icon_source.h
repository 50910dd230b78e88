// Program icons for the trees' shared image list.
#pragma once

#include <string>

namespace zd {

class IconSource {
 public:
  virtual ~IconSource() = default;
  // Inserts the shell's icon of the executable into the shared image list at
  // `position` (later images move up by one). False when the icon cannot be
  // had or the list refuses the position.
  virtual bool InsertIcon(const std::string& executable, int position) = 0;
  // Drops every program icon: the list holds its built-in pictures again.
  virtual void RemoveIcons() = 0;
};

}  // namespace zd
