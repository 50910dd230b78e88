// Code pages through iconv, for the native build and its tests.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "platform/text_codec.h"
#include "platform/utf8.h"

namespace zd {
namespace {

// The product's home code page; native tests then exercise the double-byte path.
constexpr int kNativeSystemCodePage = 936;

std::string IconvName(int code_page) {
  switch (code_page) {
    case 936:
      return "CP936";  // GBK plus the euro sign at 0x80, as Windows has it
    case 54936:
      return "GB18030";
    case 950:
      return "BIG5";
    case 932:
      return "CP932";
    case 949:
      return "CP949";
    case 20127:
      return "ASCII";
    case 28591:
      return "ISO-8859-1";
    default:
      return "CP" + std::to_string(code_page);
  }
}

class IconvHandle {
 public:
  IconvHandle(const std::string& to, const std::string& from)
      : cd_(iconv_open(to.c_str(), from.c_str())) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

enum class ConvertStatus { kDone, kInvalid, kIncomplete };

// Converts as much as possible; on a bad sequence stops with `pos` on it.
ConvertStatus Convert(iconv_t cd, std::string_view in, size_t& pos, std::string& out) {
  char buffer[4096];
  while (pos < in.size()) {
    char* src = const_cast<char*>(in.data() + pos);
    size_t src_left = in.size() - pos;
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    const size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    const int err = errno;
    out.append(buffer, dst - buffer);
    pos = in.size() - src_left;
    if (rc != static_cast<size_t>(-1)) continue;
    if (err == E2BIG) continue;
    return err == EINVAL ? ConvertStatus::kIncomplete : ConvertStatus::kInvalid;
  }
  // Flush any shift state (stateless here, but harmless).
  char* dst = buffer;
  size_t dst_left = sizeof buffer;
  iconv(cd, nullptr, nullptr, &dst, &dst_left);
  out.append(buffer, dst - buffer);
  return ConvertStatus::kDone;
}

class IconvCodec : public AnsiCodec {
 public:
  IconvCodec(int code_page, std::string name) : code_page_(code_page), name_(std::move(name)) {}

  int CodePage() const override { return code_page_; }

  std::string ToUtf8(std::string_view ansi) const override {
    IconvHandle cd("UTF-8", name_);
    if (!cd.ok()) return EscapeMalformedUtf8(ansi);
    std::string out;
    out.reserve(ansi.size() * 3 / 2);
    size_t pos = 0;
    while (Convert(cd.get(), ansi, pos, out) != ConvertStatus::kDone) {
      // Escape one byte so that a bad lead byte does not swallow the next
      // character, and goes back to disk as it was.
      AppendByteEscape(out, static_cast<unsigned char>(ansi[pos]));
      ++pos;
      iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

  std::optional<std::string> FromUtf8(std::string_view utf8) const override {
    if (!IsValidUtf8(utf8)) return std::nullopt;
    return EncodeWithByteEscapes(utf8, [this](std::string_view run) { return Encode(run); });
  }

 private:
  std::optional<std::string> Encode(std::string_view utf8) const {
    IconvHandle cd(name_, "UTF-8");
    if (!cd.ok()) return std::nullopt;
    std::string out;
    out.reserve(utf8.size());
    size_t pos = 0;
    if (Convert(cd.get(), utf8, pos, out) != ConvertStatus::kDone) return std::nullopt;
    // iconv may map a character to a look-alike; only an exact round trip counts.
    if (ToUtf8(out) != utf8) return std::nullopt;
    return out;
  }

  int code_page_;
  std::string name_;
};

}  // namespace

std::unique_ptr<AnsiCodec> MakeSystemCodec() { return MakeLegacyCodec(kNativeSystemCodePage); }

std::unique_ptr<AnsiCodec> MakeCodec(int code_page) {
  if (code_page == kUtf8CodePage) return MakeUtf8Codec();
  if (code_page <= 0) return nullptr;
  std::string name = IconvName(code_page);
  IconvHandle probe("UTF-8", name);
  if (!probe.ok()) return nullptr;
  return std::make_unique<IconvCodec>(code_page, std::move(name));
}

}  // namespace zd
