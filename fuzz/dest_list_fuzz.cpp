// Any bytes as a jump list's DestList stream: every entry read lies inside
// the bytes, and its path is valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/dest_list.h"
#include "platform/utf8.h"

using namespace zd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto entries = ParseDestList(bytes);
  if (!entries) return 0;
  size_t least = entries->empty() ? 0 : kDestListHeaderSize;
  for (const DestListEntry& entry : *entries) {
    least += kDestListFixedV1;
    if (!IsValidUtf8(entry.path)) abort();
  }
  if (least > size) abort();
  return 0;
}
