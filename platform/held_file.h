// A file that we create and keep open: others may read it, nobody may change
// or delete it until we let go. A downloaded setup is checked and started
// from such a file, so that what runs is what was checked.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace zd {

class HeldFile {
 public:
  virtual ~HeldFile() = default;  // lets go of the file and keeps it
  virtual const std::string& path() const = 0;
  virtual bool Write(std::string_view data) = 0;
  // No more writing; the file stays held against writers.
  virtual bool Seal() = 0;
  // The content from the start, in pieces; false when reading failed or
  // `take` returned false.
  virtual bool ReadFromStart(const std::function<bool(std::string_view)>& take) = 0;
  // Lets go of the file and deletes it.
  virtual bool Discard() = 0;
};

class HeldFiles {
 public:
  virtual ~HeldFiles() = default;
  // A new, empty file at `path` (an old one there is replaced); nullptr when
  // it cannot be made, for instance while another program holds the old one.
  virtual std::unique_ptr<HeldFile> Create(const std::string& path) = 0;
};

std::unique_ptr<HeldFiles> MakeSystemHeldFiles();

}  // namespace zd
