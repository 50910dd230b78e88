#include "tracking/browser_profiles.h"

#include <simdjson.h>

#include <utility>

#include "platform/utf8.h"
#include "store/doc.h"
#include "store/text_file.h"
#include "tracking/doc_kinds.h"
#include "tracking/session_file.h"

namespace zd {
namespace {

constexpr std::string_view kTitleSeparator = " - ";

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
  return Contains(LowerAscii(text), LowerAscii(part));
}

// " and 3 more pages" / " and 1 more tab" at the end of `text`, dropped.
std::string_view WithoutMoreCount(std::string_view text) {
  for (std::string_view noun : {" more pages", " more page", " more tabs", " more tab"}) {
    if (!EndsWith(text, noun)) continue;
    std::string_view head = text.substr(0, text.size() - noun.size());
    size_t digits = 0;
    while (digits < head.size() && head[head.size() - 1 - digits] >= '0' &&
           head[head.size() - 1 - digits] <= '9') {
      ++digits;
    }
    if (digits == 0) continue;
    head.remove_suffix(digits);
    if (EndsWith(head, " and ")) return head.substr(0, head.size() - 5);
  }
  return text;
}

// The longest known profile name that `text` is, or ends with after the separator.
std::string_view ProfileAtEnd(std::string_view text, const std::vector<std::string>& names,
                              bool whole) {
  std::string_view best;
  for (const std::string& name : names) {
    if (name.empty() || name.size() <= best.size()) continue;
    if (whole ? text == name : EndsWith(text, std::string(kTitleSeparator) + name)) best = name;
  }
  return best;
}

bool IsMarkerSegment(std::string_view segment, const BrowserKind& kind) {
  segment = TrimView(segment);
  if (segment.size() >= 2 && (segment.front() == '[' || segment.front() == '(')) {
    segment = segment.substr(1, segment.size() - 2);
  }
  for (std::string_view marker : kind.private_markers) {
    if (EqualsIgnoringAsciiCase(segment, marker)) return true;
  }
  return false;
}

}  // namespace

const std::vector<BrowserKind>& KnownBrowsers() {
  using F = BrowserFamily;
  static const std::vector<BrowserKind> browsers = {
      {"firefox.exe",
       F::kFirefox,
       "Mozilla\\Firefox",
       {"Mozilla Firefox", "Firefox Developer Edition", "Firefox Nightly"},
       {"Private Browsing", "隐私浏览", "隱私瀏覽"}},
      {"waterfox.exe", F::kFirefox, "Waterfox", {"Waterfox"}, {"Private Browsing"}},
      {"librewolf.exe", F::kFirefox, "librewolf", {"LibreWolf"}, {"Private Browsing"}},
      {"floorp.exe", F::kFirefox, "Floorp", {"Floorp"}, {"Private Browsing"}},
      {"chrome.exe",
       F::kChromium,
       "Google\\Chrome\\User Data",
       {"Google Chrome"},
       {"Incognito", "无痕模式", "無痕模式"}},
      // Edge writes its name with a zero-width space after "Microsoft".
      {"msedge.exe",
       F::kChromium,
       "Microsoft\\Edge\\User Data",
       {"Microsoft\xE2\x80\x8B Edge", "Microsoft Edge"},
       {"InPrivate"}},
      {"brave.exe",
       F::kChromium,
       "BraveSoftware\\Brave-Browser\\User Data",
       {"Brave"},
       {"Private", "Private with Tor"}},
      {"vivaldi.exe", F::kChromium, "Vivaldi\\User Data", {"Vivaldi"}, {"Private"}},
      {"chromium.exe", F::kChromium, "Chromium\\User Data", {"Chromium"}, {"Incognito"}},
  };
  return browsers;
}

const BrowserKind* BrowserOfProgram(std::string_view executable) {
  const size_t slash = executable.find_last_of("\\/");
  const std::string_view name =
      slash == std::string_view::npos ? executable : executable.substr(slash + 1);
  for (const BrowserKind& kind : KnownBrowsers()) {
    if (EqualsIgnoringAsciiCase(name, kind.exe)) return &kind;
  }
  return nullptr;
}

std::string JoinPath(std::string_view dir, std::string_view relative) {
  const char sep =
      dir.find('\\') == std::string_view::npos && dir.find('/') != std::string_view::npos ? '/'
                                                                                          : '\\';
  std::string path(dir);
  while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  while (!relative.empty() && (relative.front() == '\\' || relative.front() == '/')) {
    relative.remove_prefix(1);
  }
  if (relative.empty()) return path;
  path += sep;
  for (char c : relative) path += c == '\\' || c == '/' ? sep : c;
  return path;
}

std::string BrowserDataDir(const BrowserKind& kind, const UserFolders& folders) {
  const std::string& base =
      kind.family == BrowserFamily::kFirefox ? folders.roaming : folders.local;
  if (base.empty()) return {};
  return JoinPath(base, kind.data_dir);
}

std::vector<std::string> ParseProfilesIni(std::string_view ini, std::string_view ini_dir) {
  if (ini.starts_with("\xEF\xBB\xBF")) ini.remove_prefix(3);
  std::vector<std::string> dirs;
  bool in_profile = false;
  std::string path;
  bool relative = true;
  const auto finish = [&] {
    if (in_profile && !path.empty()) {
      dirs.push_back(relative ? JoinPath(ini_dir, path) : path);
    }
    path.clear();
    relative = true;
  };
  for (const std::string& raw : SplitLines(ini)) {
    const std::string_view line = TrimView(raw);
    if (line.starts_with("[")) {
      finish();
      in_profile = LowerAscii(line).starts_with("[profile");
      continue;
    }
    const size_t eq = line.find('=');
    if (!in_profile || eq == std::string_view::npos) continue;
    const std::string key = LowerAscii(TrimView(line.substr(0, eq)));
    const std::string_view value = TrimView(line.substr(eq + 1));
    if (key == "path") path = std::string(value);
    if (key == "isrelative") relative = value != "0";
  }
  finish();
  return dirs;
}

std::optional<std::vector<ChromiumProfile>> ParseLocalState(std::string_view json) {
  namespace od = simdjson::ondemand;
  const SessionText text = PadJson(json);
  od::parser parser;
  od::document doc;
  if (parser.iterate(text.data.get(), text.size, text.capacity).get(doc) != simdjson::SUCCESS) {
    return std::nullopt;
  }
  std::vector<ChromiumProfile> profiles;
  od::object cache;
  // A missing section or one of another type is no error: no profiles listed.
  auto found = doc["profile"]["info_cache"].get_object();
  const simdjson::error_code error = std::move(found).get(cache);
  if (error == simdjson::NO_SUCH_FIELD || error == simdjson::INCORRECT_TYPE) return profiles;
  if (error != simdjson::SUCCESS) return std::nullopt;
  for (auto item : cache) {
    od::field field;
    std::string_view dir;
    if (std::move(item).get(field) != simdjson::SUCCESS ||
        field.unescaped_key().get(dir) != simdjson::SUCCESS) {
      return std::nullopt;
    }
    ChromiumProfile profile;
    profile.dir = std::string(dir);
    od::object info;
    if (field.value().get_object().get(info) == simdjson::SUCCESS) {
      std::string_view name;
      if (info.find_field_unordered("name").get_string().get(name) == simdjson::SUCCESS) {
        profile.name = std::string(name);
      }
    }
    if (!profile.dir.empty()) profiles.push_back(std::move(profile));
  }
  return profiles;
}

std::optional<BrowserTitle> ParseBrowserTitle(std::string_view title, const BrowserKind& kind,
                                              const std::vector<std::string>& profile_names) {
  const std::string_view text = TrimView(title);
  // The last brand in the title wins: a page may name the browser itself.
  size_t brand_at = std::string_view::npos;
  std::string_view tail;
  for (std::string_view brand : kind.brands) {
    const std::string needle = std::string(kTitleSeparator) + std::string(brand);
    for (size_t at = text.rfind(needle); at != std::string_view::npos;
         at = at == 0 ? std::string_view::npos : text.rfind(needle, at - 1)) {
      const std::string_view after = text.substr(at + needle.size());
      // The brand must end the title or be followed by a separator or a bracket.
      if (!after.empty() && after.front() != ' ') continue;
      if (brand_at == std::string_view::npos || at > brand_at) {
        brand_at = at;
        tail = after;
      }
      break;
    }
  }
  if (brand_at == std::string_view::npos) return std::nullopt;

  BrowserTitle result;
  std::string_view head = text.substr(0, brand_at);
  std::string_view rest = TrimView(tail);
  for (std::string_view marker : kind.private_markers) {
    if (ContainsIgnoringCase(rest, marker)) result.is_private = true;
  }
  // "<brand> - <profile>", or "<profile> - <brand>".
  if (rest.starts_with("- ")) {
    const std::string_view named = TrimView(WithoutMoreCount(TrimView(rest.substr(2))));
    result.profile = std::string(ProfileAtEnd(named, profile_names, true));
  }
  if (result.profile.empty()) {
    const std::string_view before = ProfileAtEnd(head, profile_names, false);
    if (!before.empty()) {
      result.profile = std::string(before);
      head.remove_suffix(before.size() + kTitleSeparator.size());
    }
  }
  // A marker standing on its own between the page title and the brand.
  const size_t last = head.rfind(kTitleSeparator);
  if (last != std::string_view::npos &&
      IsMarkerSegment(head.substr(last + kTitleSeparator.size()), kind)) {
    result.is_private = true;
    head = head.substr(0, last);
  }
  // Or in brackets before it: "[InPrivate] <page>".
  if (head.starts_with("[") || head.starts_with("(")) {
    const size_t close = head.find_first_of("])");
    if (close != std::string_view::npos && IsMarkerSegment(head.substr(0, close + 1), kind)) {
      result.is_private = true;
      head = head.substr(close + 1);
    }
  }
  result.page = std::string(TrimView(WithoutMoreCount(TrimView(head))));
  if (result.page.empty()) return std::nullopt;
  return result;
}

namespace {

// The private markers of every known browser, and those of browsers the
// program does not read (which title such windows in Chinese).
const std::vector<std::string_view>& AllPrivateMarkers() {
  static const std::vector<std::string_view> markers = [] {
    std::vector<std::string_view> all = {"无痕",
                                         "無痕",
                                         "隐身",
                                         "隱身",
                                         "隐私模式",
                                         "隱私模式",
                                         "Private Browsing",
                                         "Private window",
                                         "InPrivate",
                                         "Incognito"};
    for (const BrowserKind& kind : KnownBrowsers()) {
      for (std::string_view marker : kind.private_markers) {
        // "Private" alone is a brand's word only next to that brand.
        if (marker != "Private") all.push_back(marker);
      }
    }
    return all;
  }();
  return markers;
}

bool NamesPrivateMarker(std::string_view part) {
  for (std::string_view marker : AllPrivateMarkers()) {
    if (ContainsIgnoringCase(part, marker)) return true;
  }
  return false;
}

}  // namespace

bool IsPrivateWindowTitle(std::string_view title, std::string_view program) {
  if (const BrowserKind* kind = BrowserOfProgram(program)) {
    const std::optional<BrowserTitle> parsed = ParseBrowserTitle(title, *kind, {});
    if (parsed && parsed->is_private) return true;
  }
  const std::string_view text = TrimView(title);
  const size_t last = text.rfind(kTitleSeparator);
  if (last != std::string_view::npos && NamesPrivateMarker(text.substr(last))) return true;
  // Bracketed parts, ASCII or full-width: "(Incognito)", "[InPrivate]", "（无痕模式）".
  for (const auto& [open, close] : {std::pair<std::string_view, std::string_view>{"(", ")"},
                                    {"[", "]"},
                                    {"\xEF\xBC\x88", "\xEF\xBC\x89"},
                                    {"\xE3\x80\x90", "\xE3\x80\x91"}}) {
    for (size_t at = text.find(open); at != std::string_view::npos; at = text.find(open, at + 1)) {
      const size_t end = text.find(close, at + open.size());
      if (end == std::string_view::npos) break;
      if (NamesPrivateMarker(text.substr(at + open.size(), end - at - open.size()))) return true;
    }
  }
  return false;
}

}  // namespace zd
