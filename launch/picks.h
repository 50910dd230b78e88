// What the user picked from the search results, and the results pinned to a
// key: the launcher ranks by them. Kept in their own file of the
// configuration folder, rewritten whole and atomically at every change, and
// trimmed so that it never grows without bound.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/files.h"
#include "platform/text_codec.h"

namespace zd {

// A pick counts half as much after this many seconds (two weeks).
inline constexpr int64_t kPickHalfLifeSeconds = 14 * 24 * 3600;
// A pick made for the very key being searched counts this many times.
inline constexpr double kSameKeyPickWeight = 5.0;
// Older picks are dropped beyond this many (the newest stay), and so are
// picks too old to count for anything (1/1024 of a new one).
inline constexpr size_t kMaxPicks = 1000;
inline constexpr int64_t kForgottenAfterSeconds = 10 * kPickHalfLifeSeconds;
inline constexpr size_t kMaxPins = 200;

// What a pick `age_seconds` old counts for, a new one counting 1.
double PickWeight(int64_t age_seconds);

struct Pick {
  int64_t when = 0;  // seconds since 1970
  std::string key;   // the search key it was picked for (folded)
  std::string path;  // the record's path
  bool operator==(const Pick&) const = default;
};

class PickStore {
 public:
  // Reads the file; a missing or unreadable file leaves the store empty. A
  // file that exists but cannot be read is never written over.
  void Load(Files& files, const AnsiCodec& codec, const std::string& path);
  bool loaded() const { return files_ != nullptr; }

  // Records a pick and saves. False when the file could not be written (the
  // pick still counts for this run).
  bool AddPick(const std::string& path, const std::string& key, int64_t now);
  // Pins `path` to `key`, or unpins it; saves. The new state.
  bool TogglePin(const std::string& path, const std::string& key, int64_t now);
  // Drops the picks and pins of every path `forgotten` holds for (the
  // records deleted from the history) and saves at once. False when the
  // file could not be written.
  bool Forget(const std::function<bool(const std::string& path)>& forgotten);
  // The file exists but could not be read: it is never written this run.
  bool unreadable() const { return loaded() && !writable_; }
  bool IsPinned(const std::string& path, const std::string& key) const;

  // Each picked path's score for `key` at `now`: its picks' weights, those
  // made for `key` counting kSameKeyPickWeight times.
  std::unordered_map<std::string, double> Scores(const std::string& key, int64_t now) const;
  // The paths pinned to `key`, the latest pin first.
  std::vector<std::string> Pins(const std::string& key) const;
  // Every path with picks or pins.
  const std::unordered_set<std::string>& Paths() const { return paths_; }
  // Changes with every pick and pin.
  uint64_t generation() const { return generation_; }

  const std::vector<Pick>& picks() const { return picks_; }
  const std::vector<Pick>& pins() const { return pins_; }

  // The file's text: one line per pick or pin ("pick" or "pin", the time,
  // the key and the path, separated by tabs), oldest first.
  std::string Serialize() const;
  void Parse(std::string_view text);
  // Drops what is beyond the limits (see above), as of `now`.
  void Trim(int64_t now);

 private:
  bool Save(int64_t now);
  void Changed();

  Files* files_ = nullptr;
  const AnsiCodec* codec_ = nullptr;
  std::string path_;
  bool writable_ = true;
  bool utf8_ = false;
  std::vector<Pick> picks_;
  std::vector<Pick> pins_;
  std::unordered_set<std::string> paths_;
  uint64_t generation_ = 0;
};

}  // namespace zd
