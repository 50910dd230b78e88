// The launcher search's rules written out plainly, for the tests to compare
// with: a recursive walk over every way a key can be spelled through a text's
// characters, and a quality taken from every match it finds.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "lang/han_chars.h"
#include "launch/han_search.h"

namespace zd::reference {

struct Unit {
  uint32_t code;
  size_t pos, next;  // bytes
};

inline std::vector<Unit> UnitsOf(std::string_view text) {
  std::vector<Unit> units;
  for (size_t pos = 0; pos < text.size();) {
    const SearchUnit u = UnitAt(text, pos);
    units.push_back({u.code, pos, pos + u.size});
    pos += u.size;
  }
  return units;
}

// Every unit index at which a match of key[k..] starting at unit i can end
// (the key running out inside a reading counts).
inline void Ends(const std::vector<Unit>& text, size_t i, const std::vector<Unit>& key, size_t k,
                 std::vector<size_t>& ends) {
  if (i >= text.size()) return;
  const uint32_t code = text[i].code;
  if (code == key[k].code) {
    if (k + 1 == key.size()) {
      ends.push_back(i);
    } else {
      Ends(text, i + 1, key, k + 1, ends);
    }
  }
  if (code < 0x80 || code >= kStrayUnit) return;
  for (const uint16_t s : han::Readings(code)) {
    const std::string_view letters = han::Syllable(s);
    for (size_t len = 1; len <= letters.size() && k + len <= key.size(); ++len) {
      if (key[k + len - 1].code != static_cast<unsigned char>(letters[len - 1])) break;
      if (k + len == key.size()) {
        ends.push_back(i);
      } else {
        Ends(text, i + 1, key, k + len, ends);
      }
    }
  }
}

inline bool IsSeparator(uint32_t code) {
  return code < 0x80 && !((code >= 'a' && code <= 'z') || (code >= 'A' && code <= 'Z') ||
                          (code >= '0' && code <= '9'));
}

inline int Kind(uint32_t code) {
  if (code >= 0x80) return 3;
  if (code >= '0' && code <= '9') return 1;
  if (IsSeparator(code)) return 2;
  return 0;
}

// The best quality of the key's matches in the text, readings taking part.
inline MatchQuality Quality(std::string_view text, std::string_view key_text) {
  const std::vector<Unit> units = UnitsOf(text), key = UnitsOf(key_text);
  if (key.empty() || key.size() > HanKey::kMaxUnits) return MatchQuality::kNone;
  // The field's end without trailing separators, and its last component.
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\\' || text[end - 1] == '/')) --end;
  size_t component = end;
  while (component > 0 && text[component - 1] != '\\' && text[component - 1] != '/') --component;
  MatchQuality best = MatchQuality::kNone;
  for (size_t i = 0; i < units.size(); ++i) {
    std::vector<size_t> ends;
    Ends(units, i, key, 0, ends);
    if (ends.empty()) continue;
    const bool anchored = units[i].pos == 0 || units[i].pos == component;
    const bool word =
        i == 0 || IsSeparator(units[i - 1].code) ||
        (Kind(units[i - 1].code) != Kind(units[i].code) && !IsSeparator(units[i].code));
    for (const size_t e : ends) {
      MatchQuality q = MatchQuality::kSubstring;
      if (anchored) {
        q = units[e].next == end ? MatchQuality::kWhole : MatchQuality::kPrefix;
      } else if (word) {
        q = MatchQuality::kWordStart;
      }
      best = std::max(best, q);
    }
  }
  return best;
}

// A record's quality for a folded key: the best of its name and path, as
// plain text and with readings.
inline MatchQuality RecordQuality(std::string_view folded_path, std::string_view folded_name,
                                  std::string_view folded_key) {
  return std::max({LiteralQuality(folded_path, folded_key), LiteralQuality(folded_name, folded_key),
                   Quality(folded_path, folded_key), Quality(folded_name, folded_key)});
}

}  // namespace zd::reference
