// Code pages through MultiByteToWideChar / WideCharToMultiByte.
#include <windows.h>

#include <climits>

#include "platform/text_codec.h"
#include "platform/utf8.h"
#include "platform/wide_win.h"

namespace zd {
namespace {

// These code pages reject every conversion flag, MB_ERR_INVALID_CHARS and
// WC_NO_BEST_FIT_CHARS included.
// https://learn.microsoft.com/windows/win32/api/stringapiset/nf-stringapiset-widechartomultibyte
bool RejectsFlags(UINT cp) {
  return cp == 42 || cp == 50220 || cp == 50221 || cp == 50222 || cp == 50225 || cp == 50227 ||
         cp == 50229 || (cp >= 57002 && cp <= 57011) || cp == 65000 || cp == 65001;
}

// Converts strictly; false when some byte sequence is not valid in the code page.
bool DecodeStrict(UINT cp, std::string_view bytes, std::wstring& out) {
  const DWORD flags = RejectsFlags(cp) ? 0 : MB_ERR_INVALID_CHARS;
  const int n =
      MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  if (n <= 0) return false;
  const size_t old = out.size();
  out.resize(old + static_cast<size_t>(n));
  MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), out.data() + old, n);
  return true;
}

class WinCodec : public AnsiCodec {
 public:
  explicit WinCodec(UINT cp) : cp_(cp) {}

  int CodePage() const override { return static_cast<int>(cp_); }

  std::string ToUtf8(std::string_view ansi) const override {
    if (ansi.empty()) return {};
    if (ansi.size() > INT_MAX / 4) return {};
    std::wstring wide;
    if (DecodeStrict(cp_, ansi, wide)) return WideToUtf8(wide);
    // Some sequence is invalid: take the shortest prefix that converts, one
    // character at a time, and escape a byte that starts none, so a bad lead
    // byte never swallows the character after it and goes back to disk as it was.
    std::string out;
    for (size_t pos = 0; pos < ansi.size();) {
      size_t len = 1;
      for (; len <= 4 && pos + len <= ansi.size(); ++len) {
        if (DecodeStrict(cp_, ansi.substr(pos, len), wide)) break;
      }
      if (len > 4 || pos + len > ansi.size()) {
        out += WideToUtf8(wide);
        wide.clear();
        AppendByteEscape(out, static_cast<unsigned char>(ansi[pos]));
        len = 1;
      }
      pos += len;
    }
    out += WideToUtf8(wide);
    return out;
  }

  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    if (!IsValidUtf8(utf8)) return std::nullopt;
    return EncodeWithByteEscapes(utf8, [this](std::string_view run) { return Encode(run); });
  }

 private:
  std::optional<std::string> Encode(std::string_view utf8) const {
    if (utf8.empty()) return std::string();
    if (utf8.size() > INT_MAX / 4) return std::nullopt;
    const std::wstring wide = Utf8ToWide(utf8);
    const bool plain = RejectsFlags(cp_);
    const DWORD flags = plain ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL used_default = FALSE;
    BOOL* used_ptr = (cp_ == 65000 || cp_ == 65001) ? nullptr : &used_default;
    const int wlen = static_cast<int>(wide.size());
    const int n = WideCharToMultiByte(cp_, flags, wide.data(), wlen, nullptr, 0, nullptr, used_ptr);
    if (n <= 0 || used_default) return std::nullopt;
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(cp_, flags, wide.data(), wlen, out.data(), n, nullptr, used_ptr);
    if (used_default) return std::nullopt;
    // Without WC_NO_BEST_FIT_CHARS a look-alike may have been chosen silently.
    if (plain && ToUtf8(out) != utf8) return std::nullopt;
    return out;
  }

  UINT cp_;
};

}  // namespace

std::unique_ptr<AnsiCodec> MakeSystemCodec() { return MakeLegacyCodec(static_cast<int>(GetACP())); }

std::unique_ptr<AnsiCodec> MakeCodec(int code_page) {
  if (code_page == kUtf8CodePage) return MakeUtf8Codec();
  if (code_page <= 0 || !IsValidCodePage(static_cast<UINT>(code_page))) return nullptr;
  return std::make_unique<WinCodec>(static_cast<UINT>(code_page));
}

}  // namespace zd
