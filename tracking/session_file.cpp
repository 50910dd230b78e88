#include "tracking/session_file.h"

#include <lz4.h>
#include <simdjson.h>

#include <cstring>
#include <utility>

namespace zd {
namespace {

namespace od = simdjson::ondemand;
using namespace std::string_view_literals;

constexpr std::string_view kMagic{"mozLz40\0", 8};
constexpr size_t kHeaderSize = 12;

// Each field of an object in turn; false on a structural error, which ends
// the whole read. A value of the wrong type is not an error: the caller
// skips it and the next field is read as usual.
template <typename OnField>
bool ForEachField(od::object object, OnField on_field) {
  for (auto item : object) {
    od::field field;
    if (std::move(item).get(field) != simdjson::SUCCESS) return false;
    // Compared as written: the keys looked for have nothing to unescape.
    if (!on_field(field.key(), field.value())) return false;
  }
  return true;
}

// A value of another type than expected is skipped; any other error means
// the text is not JSON and ends the read.
enum class Got { kValue, kOtherType, kBroken };
template <typename Result, typename T>
Got GetAs(Result&& result, T& out) {
  const simdjson::error_code error = std::forward<Result>(result).get(out);
  if (error == simdjson::SUCCESS) return Got::kValue;
  return error == simdjson::INCORRECT_TYPE ? Got::kOtherType : Got::kBroken;
}

struct Entry {
  std::string_view url, title;
};

// Firefox's own rule for the page a tab shows: its 1-based index, the last
// entry when it is missing, clamped to the entries there are.
const Entry* ShownEntry(const std::vector<Entry>& entries, std::optional<int64_t> index) {
  if (entries.empty()) return nullptr;
  int64_t i = index.value_or(static_cast<int64_t>(entries.size())) - 1;
  if (i >= static_cast<int64_t>(entries.size())) i = static_cast<int64_t>(entries.size()) - 1;
  if (i < 0) i = 0;
  return &entries[static_cast<size_t>(i)];
}

bool ReadEntries(od::value value, std::vector<Entry>& entries) {
  od::array array;
  if (const Got got = GetAs(value.get_array(), array); got != Got::kValue)
    return got == Got::kOtherType;
  for (auto item : array) {
    od::value element;
    if (std::move(item).get(element) != simdjson::SUCCESS) return false;
    od::object object;
    Entry entry;
    // An entry that is not an object still counts for the index.
    const Got got = GetAs(element.get_object(), object);
    if (got == Got::kBroken) return false;
    if (got == Got::kValue) {
      const bool ok = ForEachField(object, [&](od::raw_json_string key, od::value v) {
        if (key == "url"sv) {
          std::string_view text;
          const Got is = GetAs(v.get_string(), text);
          if (is == Got::kBroken) return false;
          if (is == Got::kValue) entry.url = text;
        } else if (key == "title"sv) {
          std::string_view text;
          const Got is = GetAs(v.get_string(), text);
          if (is == Got::kBroken) return false;
          if (is == Got::kValue) entry.title = text;
        }
        return true;
      });
      if (!ok) return false;
    }
    entries.push_back(entry);
  }
  return true;
}

std::optional<int64_t> ReadIndex(od::value value) {
  int64_t index = 0;
  if (value.get_int64().get(index) == simdjson::SUCCESS) return index;
  double real = 0;
  if (value.get_double().get(real) == simdjson::SUCCESS && real > -1e9 && real < 1e9) {
    return static_cast<int64_t>(real);
  }
  return std::nullopt;
}

bool ReadTab(od::value value, std::vector<SessionPage>& pages) {
  od::object tab;
  if (const Got got = GetAs(value.get_object(), tab); got != Got::kValue)
    return got == Got::kOtherType;
  std::vector<Entry> entries;
  std::optional<int64_t> index;
  const bool ok = ForEachField(tab, [&](od::raw_json_string key, od::value v) {
    if (key == "entries"sv) return ReadEntries(v, entries);
    if (key == "index"sv) index = ReadIndex(v);
    return true;
  });
  if (!ok) return false;
  const Entry* shown = ShownEntry(entries, index);
  if (shown && !shown->url.empty()) {
    SessionPage page;
    page.url = std::string(shown->url);
    page.title = std::string(shown->title.empty() ? shown->url : shown->title);
    pages.push_back(std::move(page));
  }
  return true;
}

bool ReadWindow(od::value value, std::vector<SessionPage>& pages) {
  od::object window;
  if (const Got got = GetAs(value.get_object(), window); got != Got::kValue) {
    return got == Got::kOtherType;
  }
  std::vector<SessionPage> own;
  bool is_private = false;
  const bool ok = ForEachField(window, [&](od::raw_json_string key, od::value v) {
    if (key == "isPrivate"sv) {
      bool flag = false;
      const Got got = GetAs(v.get_bool(), flag);
      if (got == Got::kValue) is_private = flag;
      return got != Got::kBroken;
    }
    if (key != "tabs"sv) return true;
    od::array tabs;
    if (const Got got = GetAs(v.get_array(), tabs); got != Got::kValue)
      return got == Got::kOtherType;
    for (auto item : tabs) {
      od::value tab;
      if (std::move(item).get(tab) != simdjson::SUCCESS || !ReadTab(tab, own)) return false;
    }
    return true;
  });
  if (!ok) return false;
  if (!is_private) pages.insert(pages.end(), own.begin(), own.end());
  return true;
}

}  // namespace

uint64_t MaxSessionFileBytes() { return kHeaderSize + LZ4_COMPRESSBOUND(kMaxSessionBytes); }

std::optional<uint32_t> DeclaredSessionSize(std::string_view file) {
  if (file.size() < kHeaderSize || file.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  const auto byte = [&](size_t i) {
    return static_cast<uint32_t>(static_cast<unsigned char>(file[i]));
  };
  return byte(8) | byte(9) << 8 | byte(10) << 16 | byte(11) << 24;
}

std::optional<SessionText> DecodeMozLz4(std::string_view file) {
  const std::optional<uint32_t> declared = DeclaredSessionSize(file);
  if (!declared) return std::nullopt;
  const uint32_t size = *declared;
  const std::string_view block = file.substr(kHeaderSize);
  if (size > kMaxSessionBytes || block.size() > static_cast<size_t>(LZ4_MAX_INPUT_SIZE)) {
    return std::nullopt;
  }
  // LZ4 expands a block at most about 255 times: a larger size is a lie,
  // refused before anything is allocated for it.
  if (size / 255 > block.size() + 16) return std::nullopt;
  SessionText text;
  text.capacity = size + simdjson::SIMDJSON_PADDING;
  text.data.reset(new char[text.capacity]);
  const int got = LZ4_decompress_safe(block.data(), text.data.get(), static_cast<int>(block.size()),
                                      static_cast<int>(size));
  // A size that lies either way: the block ends short of it, or overflows it.
  if (got < 0 || static_cast<uint32_t>(got) != size) return std::nullopt;
  text.size = size;
  std::memset(text.data.get() + size, 0, simdjson::SIMDJSON_PADDING);
  return text;
}

SessionText PadJson(std::string_view json) {
  SessionText text;
  text.size = json.size();
  text.capacity = json.size() + simdjson::SIMDJSON_PADDING;
  text.data.reset(new char[text.capacity]);
  if (!json.empty()) std::memcpy(text.data.get(), json.data(), json.size());
  std::memset(text.data.get() + json.size(), 0, simdjson::SIMDJSON_PADDING);
  return text;
}

std::optional<std::vector<SessionPage>> ReadSessionPages(const SessionText& text) {
  if (!text.data) return std::nullopt;
  od::parser parser{kMaxSessionBytes};
  od::document doc;
  const simdjson::padded_string_view view(text.data.get(), text.size, text.capacity);
  if (parser.iterate(view).get(doc) != simdjson::SUCCESS) return std::nullopt;
  od::object root;
  if (doc.get_object().get(root) != simdjson::SUCCESS) {
    // Valid JSON of another shape holds no pages; anything else is torn.
    od::json_type type;
    if (doc.type().get(type) != simdjson::SUCCESS) return std::nullopt;
    return std::vector<SessionPage>();
  }
  std::vector<SessionPage> pages;
  const bool ok = ForEachField(root, [&](od::raw_json_string key, od::value v) {
    if (key != "windows"sv) return true;
    od::array windows;
    if (const Got got = GetAs(v.get_array(), windows); got != Got::kValue) {
      return got == Got::kOtherType;
    }
    for (auto item : windows) {
      od::value window;
      if (std::move(item).get(window) != simdjson::SUCCESS || !ReadWindow(window, pages))
        return false;
    }
    return true;
  });
  if (!ok) return std::nullopt;
  return pages;
}

}  // namespace zd
