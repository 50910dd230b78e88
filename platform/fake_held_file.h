// The test double of held_file.h.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "platform/held_file.h"

namespace zd {

// In memory: what tests wrote and what became of it, by path.
class FakeHeldFiles : public HeldFiles {
 public:
  std::unique_ptr<HeldFile> Create(const std::string& path) override;

  struct State {
    std::string content;
    bool held = false, sealed = false, deleted = false;
  };
  State Get(const std::string& path) const;
  // Changes the content as another program would, if the file let it.
  bool TamperWith(const std::string& path, std::string content);
  bool create_fails = false;

 private:
  friend class FakeHeldFile;
  mutable std::mutex mutex_;
  std::map<std::string, State> files_;
};

}  // namespace zd
