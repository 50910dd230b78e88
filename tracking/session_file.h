// The session file of Firefox and its forks: "mozLz40\0", the decompressed
// size as a little-endian uint32, then one LZ4 block of JSON. Its
// windows[].tabs[] are the open tabs of the normal windows (private windows
// are never written to it); the entry at each tab's index is the page shown.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zd {

// Larger sessions are refused rather than allocated.
inline constexpr size_t kMaxSessionBytes = 256u << 20;

// Decompressed JSON with the zeroed padding the parser reads past its end.
struct SessionText {
  std::unique_ptr<char[]> data;
  size_t size = 0;
  size_t capacity = 0;  // size plus the padding
  std::string_view view() const { return {data.get(), size}; }
};

// nullopt unless the file has the magic, a size of at most kMaxSessionBytes,
// and a block that decompresses to exactly that size.
std::optional<SessionText> DecodeMozLz4(std::string_view file);
// The padded text of a plain JSON string (tests, the fuzz target).
SessionText PadJson(std::string_view json);

struct SessionPage {
  std::string url;
  std::string title;  // the address when the entry has no title
  bool operator==(const SessionPage&) const = default;
};

// Keeps its buffers between reads: a session is read again every time it changes.
class SessionParser {
 public:
  SessionParser();
  ~SessionParser();
  SessionParser(const SessionParser&) = delete;
  SessionParser& operator=(const SessionParser&) = delete;

  // The page of every tab of every window not marked private, in order.
  // Windows, tabs and entries of unexpected shape are skipped; nullopt when
  // the text is not JSON (an unclosed string, a stray character, nothing).
  std::optional<std::vector<SessionPage>> Pages(const SessionText& text);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace zd
