// The session file of Firefox and its forks: "mozLz40\0", the decompressed
// size as a little-endian uint32, then one LZ4 block of JSON. Its
// windows[].tabs[] are the open tabs of the normal windows (private windows
// are never written to it); the entry at each tab's index is the page shown.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zd {

// Larger sessions are skipped rather than allocated: the text and the
// parser's buffers together take several times this much.
inline constexpr size_t kMaxSessionBytes = 64u << 20;

// Decompressed JSON with the zeroed padding the parser reads past its end.
struct SessionText {
  std::unique_ptr<char[]> data;
  size_t size = 0;
  size_t capacity = 0;  // size plus the padding
  std::string_view view() const { return {data.get(), size}; }
};

// The largest file whose block can decompress to kMaxSessionBytes.
uint64_t MaxSessionFileBytes();
// The decompressed size the header declares; nullopt without the magic.
std::optional<uint32_t> DeclaredSessionSize(std::string_view file);
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

// The page of every tab of every window not marked private, in order.
// Windows, tabs and entries of unexpected shape are skipped; nullopt when
// the text is not JSON (an unclosed string, a stray character, nothing).
// The parser's buffers (several times the text) are freed before it returns:
// a session is read only when it changed, and the largest one must not stay
// in memory for the rest of the run.
std::optional<std::vector<SessionPage>> ReadSessionPages(const SessionText& text);

}  // namespace zd
