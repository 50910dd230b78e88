// The launcher's search typed word by word over 100,000 history records with
// picks and pins: one home for the words, picks and clock of the native and
// the Windows benchmarks, so that both time the same keystrokes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "launch/picks.h"
#include "store/doc.h"

namespace zd::bench {

inline constexpr size_t kLauncherRecords = 100000;
inline constexpr int64_t kLauncherNow = 1'750'000'000;

// Pinyin spelled out (报道), initials (新闻中心), a folder's name (子目录),
// a program's (微信), Chinese itself, and today's benchmark word.
inline const std::vector<std::string>& LauncherWords() {
  static const std::vector<std::string> words = {"baod",   "xwzx", "zimulu",
                                                 "weixin", "报道", "news.163.com/article/9"};
  return words;
}

// The prefixes of `word` a user types: a Chinese character arrives whole.
inline std::vector<std::string> Keystrokes(const std::string& word) {
  std::vector<std::string> keys;
  for (size_t n = 1; n <= word.size(); ++n) {
    if (n < word.size() && (static_cast<unsigned char>(word[n]) & 0xC0) == 0x80) continue;
    keys.push_back(word.substr(0, n));
  }
  return keys;
}

// 500 picks over two weeks and 20 pins, spread over the history.
inline void AddLauncherPicks(PickStore& picks, const DocArray& docs) {
  for (size_t i = 0; i < 500; ++i) {
    picks.AddPick(docs[(i * 7919) % docs.size()].path, i % 2 ? "baod" : "wx",
                  kLauncherNow - static_cast<int64_t>(i) * 3600);
  }
  for (size_t i = 0; i < 20; ++i) picks.TogglePin(docs[i * 4999].path, "xwzx", kLauncherNow);
}

}  // namespace zd::bench
