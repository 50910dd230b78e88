#include "online/version_page.h"

#include "lang/decimal_text.h"
#include "store/doc.h"

namespace zd {

std::optional<std::string> TextBetween(std::string_view page, std::string_view open,
                                       std::string_view close) {
  const size_t start = page.find(open);
  if (start == std::string_view::npos) return std::nullopt;
  const size_t from = start + open.size();
  const size_t end = page.find(close, from);
  if (end == std::string_view::npos) return std::nullopt;
  return std::string(page.substr(from, end - from));
}

std::optional<uint64_t> ParseSetupSize(std::string_view text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty() || trimmed.size() > 15) return std::nullopt;
  uint64_t value = 0;
  for (char c : trimmed) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - '0');
  }
  if (value == 0) return std::nullopt;
  return value;
}

std::optional<float> ParseVersionNumber(std::string_view text) {
  return lang::ParseDecimal(Trim(text));
}

VersionPage ReadVersionPage(std::string_view page, std::string_view server_signature) {
  VersionPage out;
  out.genuine = !server_signature.empty() && page.find(server_signature) != std::string_view::npos;
  if (auto text = TextBetween(page, kVersionOpen, kVersionClose)) {
    out.version_text = Trim(*text);
    if (auto number = ParseVersionNumber(out.version_text)) out.latest = *number;
  }
  if (auto hex = TextBetween(page, kSha256Open, kSha256Close)) {
    out.sha256 = HexDecode<32>(Trim(*hex));
  }
  if (auto hex = TextBetween(page, kSignatureOpen, kSignatureClose)) {
    out.signature = HexDecode<64>(Trim(*hex));
  }
  if (auto size = TextBetween(page, kSizeOpen, kSizeClose)) out.setup_size = ParseSetupSize(*size);
  return out;
}

bool IsNewerVersion(float latest, float running) { return latest - running > 0.001f; }

}  // namespace zd
