#include "platform/fake_held_file.h"

namespace zd {

class FakeHeldFile : public HeldFile {
 public:
  FakeHeldFile(FakeHeldFiles* owner, std::string path) : owner_(owner), path_(std::move(path)) {}
  ~FakeHeldFile() override {
    std::lock_guard lock(owner_->mutex_);
    owner_->files_[path_].held = false;
  }
  const std::string& path() const override { return path_; }
  bool Write(std::string_view data) override {
    std::lock_guard lock(owner_->mutex_);
    FakeHeldFiles::State& s = owner_->files_[path_];
    if (s.sealed || s.deleted) return false;
    s.content.append(data);
    return true;
  }
  bool Seal() override {
    std::lock_guard lock(owner_->mutex_);
    owner_->files_[path_].sealed = true;
    return true;
  }
  bool ReadFromStart(const std::function<bool(std::string_view)>& take) override {
    std::string content;
    {
      std::lock_guard lock(owner_->mutex_);
      content = owner_->files_[path_].content;
    }
    for (size_t pos = 0; pos < content.size(); pos += 1000) {
      if (!take(std::string_view(content).substr(pos, 1000))) return false;
    }
    return true;
  }
  bool Discard() override {
    std::lock_guard lock(owner_->mutex_);
    FakeHeldFiles::State& s = owner_->files_[path_];
    s.held = false;
    s.deleted = true;
    s.content.clear();
    return true;
  }

 private:
  FakeHeldFiles* owner_;
  std::string path_;
};

std::unique_ptr<HeldFile> FakeHeldFiles::Create(const std::string& path) {
  std::lock_guard lock(mutex_);
  if (create_fails || files_[path].held) return nullptr;
  files_[path] = State{};
  files_[path].held = true;
  return std::make_unique<FakeHeldFile>(this, path);
}

FakeHeldFiles::State FakeHeldFiles::Get(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto it = files_.find(path);
  return it == files_.end() ? State{} : it->second;
}

bool FakeHeldFiles::TamperWith(const std::string& path, std::string content) {
  std::lock_guard lock(mutex_);
  State& s = files_[path];
  if (s.held) return false;
  s.content = std::move(content);
  return true;
}

}  // namespace zd
