#include "platform/text_codec.h"

#include "platform/utf8.h"

namespace zd {

namespace {
constexpr int kHomeCodePage = 936;
}  // namespace

int LegacyCodePage(int system_code_page) {
  return system_code_page == kUtf8CodePage || system_code_page <= 0 ? kHomeCodePage
                                                                    : system_code_page;
}

std::unique_ptr<AnsiCodec> MakeLegacyCodec(int system_code_page) {
  if (auto codec = MakeCodec(LegacyCodePage(system_code_page))) return codec;
  if (auto home = MakeCodec(kHomeCodePage)) return home;
  // No double-byte support at all: files are still read and written, as UTF-8.
  return MakeUtf8Codec();
}

}  // namespace zd
