// Any bytes as a text and a key (split at the first NUL): folding stays
// folded, the automaton agrees with the plain walk over every spelling, and
// the signature never rules out a match.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "launch/han_reference_for_tests.h"
#include "launch/han_search.h"

using namespace zd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t split = input.find('\0');
  if (split == std::string::npos) return 0;
  const std::string text = FoldForSearch(input.substr(0, split));
  const std::string key = FoldForSearch(input.substr(split + 1));
  // The walk tries every spelling: short inputs keep it quick.
  if (key.find('\0') != std::string::npos || key.size() > 24 || text.size() > 96) return 0;
  if (FoldForSearch(text) != text) abort();
  const HanKey compiled(key);
  const MatchQuality quality = compiled.Quality(text);
  if (quality != reference::Quality(text, key)) abort();
  if (compiled.Matches(text) != (quality != MatchQuality::kNone)) abort();
  if (quality != MatchQuality::kNone && compiled.usable()) {
    const HanSignature sig = SignatureOf(text, text);
    uint64_t classes = 0;
    for (const char c : key) classes |= uint64_t{1} << kByteClass[static_cast<unsigned char>(c)];
    if ((sig.letters & classes) != classes) abort();
  }
  return 0;
}
