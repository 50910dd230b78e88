#include "platform/dest_list.h"

#include <cstdio>

#include "platform/utf8.h"

namespace zd {
namespace {

uint32_t U32At(std::string_view bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value |= uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return value;
}

uint64_t U64At(std::string_view bytes, size_t at) {
  return uint64_t{U32At(bytes, at)} | (uint64_t{U32At(bytes, at + 4)} << 32);
}

uint16_t U16At(std::string_view bytes, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) |
                               (static_cast<unsigned char>(bytes[at + 1]) << 8));
}

void AppendCodePoint(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// UTF-16 little-endian, `units` long, at `at`: the list allows unpaired
// surrogates, which come out as U+FFFD.
std::string Utf16At(std::string_view bytes, size_t at, size_t units) {
  std::string out;
  out.reserve(units);
  for (size_t i = 0; i < units; ++i) {
    const char16_t unit = U16At(bytes, at + 2 * i);
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
      const char16_t low = U16At(bytes, at + 2 * (i + 1));
      if (low >= 0xDC00 && low <= 0xDFFF) {
        AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
        ++i;
        continue;
      }
    }
    if (unit >= 0xD800 && unit <= 0xDFFF) {
      out += kReplacementChar;
    } else {
      AppendCodePoint(out, unit);
    }
  }
  return out;
}

}  // namespace

int64_t FileTimeToUnixSeconds(uint64_t filetime) {
  constexpr uint64_t kTicksPerSecond = 10000000;
  constexpr uint64_t kSecondsTo1970 = 11644473600;
  const uint64_t seconds = filetime / kTicksPerSecond;
  return seconds <= kSecondsTo1970 ? 0 : static_cast<int64_t>(seconds - kSecondsTo1970);
}

std::string DestListStreamName(uint32_t stream) {
  char name[16];
  std::snprintf(name, sizeof name, "%x", static_cast<unsigned>(stream));
  return name;
}

std::optional<std::vector<DestListEntry>> ParseDestList(std::string_view bytes) {
  // An empty stream is an empty list.
  if (bytes.empty()) return std::vector<DestListEntry>{};
  if (bytes.size() < kDestListHeaderSize) return std::nullopt;
  const uint32_t version = U32At(bytes, 0);
  if (version < 1 || version > 4) return std::nullopt;
  const size_t fixed = version == 1 ? kDestListFixedV1 : kDestListFixedV2;
  const uint32_t count = U32At(bytes, 4);
  std::vector<DestListEntry> entries;
  entries.reserve(count < kMaxDestListEntries ? count : kMaxDestListEntries);
  size_t at = kDestListHeaderSize;
  for (uint32_t n = 0; n < count && n < kMaxDestListEntries; ++n) {
    if (bytes.size() - at < fixed) break;
    const size_t units = U16At(bytes, at + fixed - 2);
    // The later versions end each entry with four bytes after the path.
    const size_t size = fixed + 2 * units + (version == 1 ? 0 : 4);
    if (bytes.size() - at < size) break;
    DestListEntry entry;
    entry.stream = U32At(bytes, at + 88);
    entry.last_access = FileTimeToUnixSeconds(U64At(bytes, at + 100));
    entry.pinned = U32At(bytes, at + 108) != 0xFFFFFFFFu;
    entry.path = Utf16At(bytes, at + fixed, units);
    entries.push_back(std::move(entry));
    at += size;
  }
  return entries;
}

}  // namespace zd
