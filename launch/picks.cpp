#include "launch/picks.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "store/doc.h"
#include "store/text_file.h"

namespace zd {
namespace {

constexpr std::string_view kPickWord = "pick";
constexpr std::string_view kPinWord = "pin";

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t', start)) {
    fields.push_back(line.substr(start, tab - start));
    start = tab + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

// The newest `limit` entries, oldest first.
void KeepNewest(std::vector<Pick>& entries, size_t limit) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Pick& a, const Pick& b) { return a.when < b.when; });
  if (entries.size() > limit) entries.erase(entries.begin(), entries.end() - limit);
}

}  // namespace

double PickWeight(int64_t age_seconds) {
  // A clock set back makes no pick count more than a new one.
  if (age_seconds <= 0) return 1.0;
  return std::exp2(-static_cast<double>(age_seconds) / kPickHalfLifeSeconds);
}

void PickStore::Load(Files& files, const AnsiCodec& codec, const std::string& path) {
  files_ = &files;
  codec_ = &codec;
  path_ = path;
  picks_.clear();
  pins_.clear();
  // Until the file was read (or found missing), nothing may write over it.
  writable_ = false;
  FileOrigin origin;
  const std::optional<std::string> text = LoadOwnedText(files, codec, path, origin);
  writable_ = origin.loaded;
  utf8_ = origin.utf8;
  if (text) Parse(*text);
  Changed();
}

void PickStore::Parse(std::string_view text) {
  picks_.clear();
  pins_.clear();
  for (const std::string& line : SplitLines(text)) {
    const std::vector<std::string_view> fields = SplitTabs(line);
    if (fields.size() != 4 || fields[3].empty()) continue;
    Pick entry;
    const auto [end, ec] =
        std::from_chars(fields[1].data(), fields[1].data() + fields[1].size(), entry.when);
    if (ec != std::errc() || end != fields[1].data() + fields[1].size()) continue;
    entry.key = fields[2];
    entry.path = fields[3];
    if (fields[0] == kPickWord) {
      picks_.push_back(std::move(entry));
    } else if (fields[0] == kPinWord) {
      pins_.push_back(std::move(entry));
    }
  }
  Changed();
}

std::string PickStore::Serialize() const {
  std::vector<std::string> lines;
  lines.reserve(picks_.size() + pins_.size());
  const auto add = [&](std::string_view word, const Pick& entry) {
    // A tab or line break inside would cut the line into other fields.
    lines.push_back(std::string(word) + '\t' + std::to_string(entry.when) + '\t' +
                    BlankControlChars(entry.key) + '\t' + BlankControlChars(entry.path));
  };
  for (const Pick& pin : pins_) add(kPinWord, pin);
  for (const Pick& pick : picks_) add(kPickWord, pick);
  return JoinLines(lines);
}

void PickStore::Trim(int64_t now) {
  std::erase_if(picks_,
                [now](const Pick& pick) { return now - pick.when > kForgottenAfterSeconds; });
  KeepNewest(picks_, kMaxPicks);
  KeepNewest(pins_, kMaxPins);
  Changed();
}

bool PickStore::Save(int64_t now) {
  Trim(now);
  if (!files_ || !codec_ || !writable_) return false;
  return SaveText(*files_, *codec_, path_, Serialize(), utf8_);
}

void PickStore::Changed() {
  // Unique among all stores: a model never mistakes another store's picks
  // (or a replaced store's) for those it has seen.
  static uint64_t last_generation = 0;
  generation_ = ++last_generation;
  paths_.clear();
  for (const Pick& pick : picks_) paths_.insert(pick.path);
  for (const Pick& pin : pins_) paths_.insert(pin.path);
}

bool PickStore::AddPick(const std::string& path, const std::string& key, int64_t now) {
  if (path.empty()) return false;
  picks_.push_back({now, key, path});
  return Save(now);
}

bool PickStore::Forget(const std::function<bool(const std::string& path)>& forgotten) {
  const size_t before = picks_.size() + pins_.size();
  const auto gone = [&](const Pick& entry) { return forgotten(entry.path); };
  std::erase_if(picks_, gone);
  std::erase_if(pins_, gone);
  if (picks_.size() + pins_.size() == before) return true;
  Changed();
  if (!files_ || !codec_ || !writable_) return false;
  return SaveText(*files_, *codec_, path_, Serialize(), utf8_);
}

bool PickStore::IsPinned(const std::string& path, const std::string& key) const {
  return std::any_of(pins_.begin(), pins_.end(),
                     [&](const Pick& pin) { return pin.path == path && pin.key == key; });
}

bool PickStore::TogglePin(const std::string& path, const std::string& key, int64_t now) {
  if (path.empty()) return false;
  const bool pinned = IsPinned(path, key);
  if (pinned) {
    std::erase_if(pins_, [&](const Pick& pin) { return pin.path == path && pin.key == key; });
  } else {
    pins_.push_back({now, key, path});
  }
  Save(now);
  return !pinned;
}

std::unordered_map<std::string, double> PickStore::Scores(const std::string& key,
                                                          int64_t now) const {
  std::unordered_map<std::string, double> scores;
  for (const Pick& pick : picks_) {
    scores[pick.path] += PickWeight(now - pick.when) * (pick.key == key ? kSameKeyPickWeight : 1.0);
  }
  return scores;
}

std::vector<std::string> PickStore::Pins(const std::string& key) const {
  std::vector<std::string> paths;
  for (auto it = pins_.rbegin(); it != pins_.rend(); ++it) {
    if (it->key == key) paths.push_back(it->path);
  }
  return paths;
}

}  // namespace zd
