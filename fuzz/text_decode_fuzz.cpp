// Decoding any file content: the text is valid UTF-8 without U+FFFD made up,
// and writing it again and reading it back gives the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/utf8.h"
#include "store/text_file.h"

using namespace zd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto gbk = MakeCodec(936);
  static const auto latin = MakeCodec(1252);
  static const auto utf8 = MakeCodec(65001);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const AnsiCodec* codec : {gbk.get(), latin.get(), utf8.get()}) {
    const DecodedText read = DecodeTextFile(bytes, *codec);
    const std::string& text = read.text;
    if (!IsValidUtf8(text)) abort();
    // Nothing read turns into U+FFFD.
    if (text.find(kReplacementChar) != std::string::npos &&
        bytes.find(kReplacementChar) == std::string::npos) {
      abort();
    }
    // Saved the way it was read, or as a code-page file, it reads back the same.
    for (const bool as_utf8 : {read.utf8, false}) {
      const DecodedText again = DecodeTextFile(EncodeText(text, *codec, as_utf8), *codec);
      if (again.text != text || (as_utf8 && !again.utf8)) abort();
    }
    // Text that was valid UTF-8 stays exactly as it was.
    if (IsValidUtf8(bytes) && codec == utf8.get() &&
        text != (bytes.compare(0, 3, kUtf8Bom) == 0 ? bytes.substr(3) : bytes)) {
      abort();
    }
    const std::vector<std::string> lines = SplitLines(text);
    if (SplitLines(JoinLines(lines)) != lines) abort();
  }
  return 0;
}
