// Parsing any settings file: what we write reads back as the same document,
// and a value we set reads back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "store/doc.h"
#include "store/settings_file.h"

using namespace zd;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  IniDocument doc;
  doc.Parse(text);
  const std::string once = doc.Serialize();
  IniDocument again;
  again.Parse(once);
  if (again.Serialize() != once) abort();

  // Use the input's first line as a value and its second as a key name.
  const size_t cut = text.find('\n');
  std::string value = text.substr(0, cut);
  std::string key = cut == std::string::npos ? "k" : text.substr(cut + 1, 16);
  // The program's key names are plain text.
  key = BlankControlChars(key);
  if (key.find_first_of("=[") != std::string::npos ||
      key.find_first_not_of(' ') == std::string::npos) {
    key = "k";
  }
  doc.Set("fuzz", key, value);
  // Control characters are stored as blanks: a value stays on its line.
  value = BlankControlChars(value);
  if (doc.Get("fuzz", key) != value) abort();
  IniDocument written;
  written.Parse(doc.Serialize());
  if (written.Get("fuzz", key) != value) abort();
  if (written.Serialize() != doc.Serialize()) abort();
  return 0;
}
